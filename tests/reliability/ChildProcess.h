#pragma once

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
// over directories of a temporary folder, each log checked against its directory.
namespace reliability {

// A program run by a test; killed and reaped, at the latest, when the object goes.
class ChildProcess {
public:
    struct Options {
        // Empty: the test's, with its standard output and error. Otherwise the child runs there
        // and writes its standard output to "out.txt" and its standard error to "err.txt".
        std::string workingDirectory;
    };

    ChildProcess(const std::vector<std::string>& argv, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

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
// "logs/<alias>.log", watched by the headless watcher started there on a "peer.cfg" naming them.
class Watcher {
public:
    struct Dir {
        std::vector<std::string> files; // there before the watcher starts
        std::string path;               // instead of <root>/<alias>
        std::string log;                // instead of logs/<alias>.log
        std::string wav;
    };

    std::string Add(const std::string& alias, const Dir& dir = {});

    // Writes "peer.cfg", runs argv (the watcher, or a program that runs it) and waits until the
    // watcher has taken every baseline.
    bool Start(const std::vector<std::string>& argv);
    // Returns once each directory is watched and has been served after every change made so far:
    // a probe file created and deleted, and both lines written. False at the deadline.
    bool Settle(const std::vector<std::string>& aliases);
    // Ends the watcher with SIGTERM; its exit code, or -1 when it did not exit normally.
    int Terminate();

    // The directory's log replayed over what it held at Add, against what it holds now: each
    // disagreement on a line of its own; empty when they agree.
    std::string Disagreements(const std::string& alias) const;

    const std::vector<std::string>& Aliases() const { return aliases_; }
    std::string Root() const { return root_.str(); }
    std::string Path(const std::string& alias) const { return dirs_.at(alias).path; }
    std::string Log(const std::string& alias) const { return dirs_.at(alias).log; }
    std::string Out() const { return testsupport::ReadFile(root_ / "out.txt"); }
    std::string Err() const { return testsupport::ReadFile(root_ / "err.txt"); }
    ChildProcess& Process() { return *process_; }

private:
    testsupport::TempDir root_;
    std::vector<std::string> aliases_;
    std::map<std::string, Dir> dirs_;
    std::map<std::string, std::set<std::string>> initial_;
    int probes_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

} // namespace reliability
