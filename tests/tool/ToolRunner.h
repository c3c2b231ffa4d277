// Runs a program as a user would from a shell, with extra environment,
// and captures its exit code, standard output and standard error.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tooltest {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// input: what the program reads on standard input (else /dev/null).
RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& env = {}, const std::string& input = {});

// Runs the program until ready(standard output so far) holds (or
// timeoutMs passed), then sends it SIGINT, as Ctrl-C does, and waits for it.
RunResult RunAndInterrupt(const std::string& program, const std::vector<std::string>& args,
                          const std::function<bool(const std::string&)>& ready, int timeoutMs);

// A simulated tracker process (sxsim --ports ...), stopped with SIGTERM at
// destruction; Path() is its serial line.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    const std::string& Path() const { return m_path; }
    bool Started() const { return !m_path.empty(); }

private:
    int m_pid = -1;
    std::string m_path;
};

std::vector<std::string> Lines(const std::string& text);
std::vector<std::string> Split(const std::string& line, char sep);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
std::string TempPath(const std::string& name);

#ifdef SXTOOL_PATH
// sxtool of this build, and a run of it.
inline const std::string kTool = SXTOOL_PATH;

inline RunResult Tool(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
                      const std::string& input = {})
{
    return Run(kTool, args, env, input);
}
#endif

} // namespace tooltest
