#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace watchtest {

// A program run in a working directory with its standard output and error captured.
class ChildProcess {
public:
    // maxOpenFiles > 0 lowers the child's open-file limit (RLIMIT_NOFILE) before exec.
    ChildProcess(const std::string& workingDir, const std::vector<std::string>& argv,
                 int maxOpenFiles = 0);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Everything written so far.
    const std::string& Out();
    const std::string& Err();
    // Waits until the output holds text; false after the deadline.
    bool OutHolds(const std::string& text);
    // Sends the signal (0: none) and returns the exit status, or -1 when killed by a signal.
    int Wait(int signal = 0);

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outText_;
    std::string errText_;
};

} // namespace watchtest
