#include "FileChecks.h"

#include "ExitCodes.h"
#include "Session.h"
#include "Texts.h"

#include <recording/FileOutput.h>
#include <recording/RecordingWriter.h>

#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace sxtool {

namespace {

// Whether standard output is the file at path (a shell's `> path`).
bool StdoutIs(const std::string& path)
{
#ifdef _WIN32
    (void)path;
    return false;
#else
    struct stat out, file;
    return fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode) && stat(path.c_str(), &file) == 0 &&
           out.st_dev == file.st_dev && out.st_ino == file.st_ino;
#endif
}

bool IsRecording(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char name[sizeof sxrec::kFormatName] = {};
    const bool is =
        std::fread(name, 1, sizeof name, f) == sizeof name && std::memcmp(name, sxrec::kFormatName, sizeof name) == 0;
    std::fclose(f);
    return is;
}

} // namespace

int CheckFiles(const CommandFiles& files, const std::string& logFile)
{
    std::vector<std::string> outputs = files.outputs;
    outputs.insert(outputs.end(), files.recordings.begin(), files.recordings.end());
    for (size_t i = 0; i < outputs.size(); ++i) {
        const std::string& out = outputs[i];
        for (const std::string& in : files.inputs)
            if (out == in || sxrec::SameFile(out, in)) {
                Complain(texts::kOutputIsInput, out.c_str());
                return kExitFileError;
            }
        for (size_t k = i + 1; k < outputs.size(); ++k)
            if (out == outputs[k] || sxrec::SameFile(out, outputs[k])) {
                Complain(texts::kOutputsCollide, out.c_str(), outputs[k].c_str());
                return kExitFileError;
            }
        if (!files.force && sxrec::Exists(out) && !sxrec::IsStreamFile(out)) {
            Complain(texts::kFileExists, out.c_str());
            return kExitFileError;
        }
    }
    for (const std::string& rec : files.recordings) {
        const std::string part = rec + sxrec::kPartSuffix;
        if (!files.force && !sxrec::IsStreamFile(rec) && sxrec::Exists(part)) {
            Complain(texts::kFileExists, part.c_str());
            return kExitFileError;
        }
    }
    if (files.dataToStdout)
        for (const std::string& in : files.inputs)
            if (StdoutIs(in)) {
                Complain(texts::kOutputIsInput, "standard output");
                return kExitFileError;
            }
    if (logFile.empty())
        return kExitOk;
    for (const std::string& f : files.inputs)
        if (logFile == f || sxrec::SameFile(logFile, f)) {
            Complain(texts::kOutputIsInput, logFile.c_str());
            return kExitFileError;
        }
    for (const std::string& f : outputs)
        if (logFile == f || sxrec::SameFile(logFile, f)) {
            Complain(texts::kOutputsCollide, logFile.c_str(), f.c_str());
            return kExitFileError;
        }
    if (IsRecording(logFile)) {
        Complain(texts::kLogIsRecording, logFile.c_str());
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace sxtool
