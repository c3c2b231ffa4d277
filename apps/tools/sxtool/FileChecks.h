// The files a command reads and writes, checked before anything starts:
// nothing is written over its own input or over an existing file unasked.
#pragma once

#include <string>
#include <vector>

namespace sxtool {

struct CommandFiles {
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;    // written whole through a temporary file
    std::vector<std::string> recordings; // written as FILE.part, renamed once complete
    bool dataToStdout = false;           // the data goes to standard output
    bool force = false;                  // existing outputs may be replaced
};

// Refuses an output that is an input or another output (whatever names lead
// to it), an existing output file (or a recording's left-over .part) without
// --force, and a --log file that is any of them or a recording. Complains;
// the exit code.
int CheckFiles(const CommandFiles& files, const std::string& logFile);

} // namespace sxtool
