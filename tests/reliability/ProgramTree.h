#pragma once

#include "tests/reliability/ChildProcess.h"
#include "tests/support/LogReplay.h"
#include "tests/support/TempDir.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace reliability {

// Directories in a temporary folder watched by the headless watcher peerwell-watch, started in
// that folder on a "peer.cfg" naming them. Each directory is named by its alias and logs to
// "logs/<alias>.log"; the watcher's standard output and error go to "out.txt" and "err.txt".
class ProgramTree {
public:
    ProgramTree();

    // Makes the directory with its files and remembers what it holds.
    std::string Add(const std::string& alias, const std::vector<std::string>& files = {},
                    const std::string& wav = {});

    // Writes "peer.cfg", starts the watcher (with the inotify limits of options, if any) and
    // waits until it has taken the baseline of every directory.
    bool Start(const ChildProcess::Options& limits = {});
    // Creates probe files in the directory until one is logged: it is watched then.
    bool Watching(const std::string& alias);
    // Returns once every directory has been served after every change made so far (a marker
    // file created and then deleted, and both lines logged).
    bool Settle(const std::vector<std::string>& aliases);
    // Whether the directory's log holds the line " [sign] <alias>\<name>" (a plain name).
    bool Logged(const std::string& alias, char sign, const std::string& name) const;
    // Ends the watcher with SIGTERM; its exit code, or -1 when it did not exit normally.
    int Terminate();

    testsupport::Replay Check(const std::string& alias) const;

    std::string Root() const { return root_.str(); }
    std::string Path(const std::string& alias) const { return root_ / alias; }
    std::string Log(const std::string& alias) const { return root_ / ("logs/" + alias + ".log"); }
    std::string Out() const { return testsupport::ReadFile(root_ / "out.txt"); }
    std::string Err() const { return testsupport::ReadFile(root_ / "err.txt"); }
    ChildProcess& Process() { return *process_; }

private:
    testsupport::TempDir root_;
    std::vector<std::string> aliases_;
    std::map<std::string, std::string> wavs_;
    std::map<std::string, std::set<std::string>> initial_;
    std::unique_ptr<ChildProcess> process_;
    int markers_ = 0;
    int probes_ = 0;
};

} // namespace reliability
