#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace reliability {

// A program run by a test as a child process; killed and reaped, at the latest, when the object
// goes.
class ChildProcess {
public:
    struct Options {
        std::string workingDirectory;         // empty: the test's
        std::string stdoutPath;               // empty: inherited
        std::string stderrPath;               // empty: inherited
        std::vector<std::string> environment; // "NAME=value" set beside the test's environment
        // When not 0: runs in a user namespace of its own whose inotify limits are these.
        // Without a program, only tries that.
        long inotifyInstances = 0;
        long inotifyWatches = 0;
    };

    ChildProcess(const std::vector<std::string>& argv, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    void Signal(int signal) const;
    // The wait status once the child has ended, or empty when it is still running at the
    // deadline.
    std::optional<int> Wait(std::chrono::milliseconds deadline);
    // True once the child is stopped by a signal (state 'T' in /proc).
    bool IsStopped() const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// The resident memory of a process in kB (VmRSS); 0 when it can't be read.
long ResidentKb(const std::string& pid = "self");

// Whether this system lets a test give a process inotify limits of its own.
bool CanLimitInotify();

} // namespace reliability
