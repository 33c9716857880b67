#pragma once

#include "tests/support/LogReplay.h"
#include "tests/support/TempDir.h"

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The reliability harness: programs run as child processes, and the headless watcher run as one
// over directories of a temporary folder.
namespace reliability {

// A program run by a test; killed and reaped, at the latest, when the object goes.
class ChildProcess {
public:
    struct Options {
        std::string workingDirectory;         // empty: the test's
        std::string stdoutPath;               // empty: inherited
        std::string stderrPath;               // empty: inherited
        std::vector<std::string> environment; // "NAME=value" set beside the test's environment
        // When not 0: runs in a user namespace of its own whose inotify limits are these.
        long inotifyInstances = 0;
        long inotifyWatches = 0;
        long fileSizeLimit = 0; // when not 0: a write beyond it fails part-way
    };

    ChildProcess(const std::vector<std::string>& argv, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    void Signal(int signal) const;
    // The wait status once the child has ended, or empty when it still runs at the deadline.
    std::optional<int> Wait(std::chrono::milliseconds deadline);
    // Pauses the child (SIGSTOP) and returns once it is stopped.
    bool Pause();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// The directories of a temporary folder, each named by its alias and logging to
// "logs/<alias>.log", watched by the headless watcher started there on a "peer.cfg" naming them;
// its standard output and error go to "out.txt" and "err.txt".
class Watcher {
public:
    struct Dir {
        std::vector<std::string> files; // there before the watcher starts
        std::string path;               // instead of <root>/<alias>
        std::string log;                // instead of logs/<alias>.log
        std::string wav;
    };

    explicit Watcher(std::string program);
    std::string Add(const std::string& alias, const Dir& dir = {});

    // Writes "peer.cfg", starts the watcher and waits until it has taken every baseline.
    bool Start(ChildProcess::Options options = {});
    // Returns once each directory is watched and has been served after every change made so far:
    // a probe file created and deleted, and both lines logged. False at the deadline.
    bool Settle(const std::vector<std::string>& aliases);
    // Ends the watcher with SIGTERM; its exit code, or -1 when it did not exit normally.
    int Terminate();

    // The directory's log replayed over what it held at Add, against what it holds now.
    testsupport::Replay Check(const std::string& alias) const;
    // Waits until Check agrees; the last Check.
    testsupport::Replay WaitUntilAgrees(const std::string& alias) const;
    // The lines on standard output that are event lines.
    std::size_t EventLinesOut() const;

    const std::vector<std::string>& Aliases() const { return aliases_; }
    std::string Root() const { return root_.str(); }
    std::string Path(const std::string& alias) const { return dirs_.at(alias).path; }
    std::string Log(const std::string& alias) const { return dirs_.at(alias).log; }
    std::string Out() const { return testsupport::ReadFile(root_ / "out.txt"); }
    std::string Err() const { return testsupport::ReadFile(root_ / "err.txt"); }
    ChildProcess& Process() { return *process_; }

private:
    bool Logged(const std::string& alias, char sign, const std::string& name) const;

    std::string program_;
    testsupport::TempDir root_;
    std::vector<std::string> aliases_;
    std::map<std::string, Dir> dirs_;
    std::map<std::string, std::set<std::string>> initial_;
    int probes_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

// Whether this system lets a test give a process inotify limits of its own.
bool CanLimitInotify();

} // namespace reliability
