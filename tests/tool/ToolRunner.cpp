#include "ToolRunner.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tooltest {

namespace {

std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

} // namespace

std::string TempPath(const std::string& name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/sxtooltest-" + std::to_string(getpid()) + "-" + name;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

// The child's side: standard streams onto the files, the environment, exec.
[[noreturn]] void Exec(const std::string& program, std::vector<char*>& argv, const std::string& outPath,
                       const std::string& errPath, const std::map<std::string, std::string>& env,
                       const std::string& inPath = "/dev/null")
{
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open(inPath.c_str(), O_RDONLY);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const auto& [k, v] : env)
        setenv(k.c_str(), v.c_str(), 1);
    execv(program.c_str(), argv.data());
    _exit(127);
}

RunResult Collect(pid_t pid, const std::string& outPath, const std::string& errPath)
{
    RunResult r;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid)
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = ReadFile(outPath);
    r.err = ReadFile(errPath);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return r;
}

} // namespace

RunResult RunAndInterrupt(const std::string& program, const std::vector<std::string>& args,
                          const std::function<bool(const std::string&)>& ready, int timeoutMs)
{
    const std::string outPath = TempPath("stdout"), errPath = TempPath("stderr");
    std::vector<char*> argv = Argv(program, args);
    const pid_t pid = fork();
    if (pid == 0)
        Exec(program, argv, outPath, errPath, {});
    for (int waited = 0; waited < timeoutMs && !ready(ReadFile(outPath)); waited += 50)
        usleep(50000);
    kill(pid, SIGINT);
    return Collect(pid, outPath, errPath);
}

RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& env, const std::string& input)
{
    const std::string outPath = TempPath("stdout"), errPath = TempPath("stderr");
    const std::string inPath = input.empty() ? std::string("/dev/null") : TempPath("stdin");
    if (!input.empty())
        WriteFile(inPath, input);
    std::vector<char*> argv = Argv(program, args);
    const pid_t pid = fork();
    if (pid == 0)
        Exec(program, argv, outPath, errPath, env, inPath);
    RunResult r = Collect(pid, outPath, errPath);
    if (!input.empty())
        unlink(inPath.c_str());
    return r;
}

SimProcess::SimProcess(const std::vector<std::string>& args)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    std::vector<char*> argv = Argv(SXSIM_PATH, args);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        execv(SXSIM_PATH, argv.data());
        _exit(127);
    }
    close(fds[1]);
    // The first line is the path of the line to open.
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        m_path += c;
    close(fds[0]);
}

SimProcess::~SimProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Split(const std::string& line, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : line) {
        if (c == sep) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

} // namespace tooltest
