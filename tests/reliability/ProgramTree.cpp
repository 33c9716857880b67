#include "tests/reliability/ProgramTree.h"

#include <sys/wait.h>

#include <csignal>
#include <filesystem>

namespace reliability {

namespace {

constexpr auto Deadline = std::chrono::seconds(180);
// Polls (of 5 ms) between two probe files.
constexpr int RemakePolls = 20;
constexpr const char* Header = "**************************************\r\n"
                               "***   Do not change this file!!!   ***\r\n"
                               "**************************************\r\n";

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

} // namespace

ProgramTree::ProgramTree() {
    std::filesystem::create_directory(root_ / "logs");
}

std::string ProgramTree::Add(const std::string& alias, const std::vector<std::string>& files,
                             const std::string& wav) {
    const std::string path = Path(alias);
    std::filesystem::create_directory(path);
    for (const std::string& file : files)
        testsupport::WriteFile(path + "/" + file);
    aliases_.push_back(alias);
    wavs_[alias] = wav;
    initial_[alias] = testsupport::ListPlainFiles(path);
    return path;
}

bool ProgramTree::Start(const ChildProcess::Options& limits) {
    std::string config = Header;
    for (const std::string& alias : aliases_) {
        config += Quoted(Path(alias)) + ' ' + Quoted(alias) + " \"*\" \"*.*\" \"0\" " +
                  Quoted(Log(alias)) + ' ' + Quoted(wavs_[alias]) + "\r\n";
    }
    testsupport::WriteFile(root_ / "peer.cfg", config);
    ChildProcess::Options options = limits;
    options.workingDirectory = Root();
    options.stdoutPath = root_ / "out.txt";
    options.stderrPath = root_ / "err.txt";
    process_ = std::make_unique<ChildProcess>(std::vector<std::string>{WATCH_PROGRAM}, options);
    // Each record is echoed after its baseline scan: changes from then on count.
    const std::string lastEcho = "Path = " + Path(aliases_.back()) + "| Alias = " + aliases_.back();
    return testsupport::WaitUntil([&] { return Out().find(lastEcho) != std::string::npos; },
                                  Deadline);
}

bool ProgramTree::Logged(const std::string& alias, char sign, const std::string& name) const {
    const std::string line = std::string(" [") + sign + "] " + alias + "\\" + name + "\r\n";
    return testsupport::ReadFile(Log(alias)).find(line) != std::string::npos;
}

bool ProgramTree::Watching(const std::string& alias) {
    const int first = probes_ + 1;
    int polls = 0;
    return testsupport::WaitUntil(
        [&] {
            // A probe made before the watch began waits for the next change: make another.
            if (polls++ % RemakePolls == 0)
                testsupport::WriteFile(Path(alias) + "/probe" + std::to_string(++probes_));
            for (int probe = first; probe <= probes_; ++probe) {
                if (Logged(alias, '+', "probe" + std::to_string(probe)))
                    return true;
            }
            return false;
        },
        Deadline);
}

bool ProgramTree::Settle(const std::vector<std::string>& aliases) {
    const std::string marker = "zz-settle-" + std::to_string(++markers_);
    const auto logged = [&](char sign) {
        return testsupport::WaitUntil(
            [&] {
                for (const std::string& alias : aliases) {
                    if (!Logged(alias, sign, marker))
                        return false;
                }
                return true;
            },
            Deadline);
    };
    for (const std::string& alias : aliases)
        testsupport::WriteFile(Path(alias) + "/" + marker);
    if (!logged('+'))
        return false;
    for (const std::string& alias : aliases)
        std::filesystem::remove(Path(alias) + "/" + marker);
    return logged('-');
}

int ProgramTree::Terminate() {
    process_->Signal(SIGTERM);
    const std::optional<int> status = process_->Wait(std::chrono::seconds(60));
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

testsupport::Replay ProgramTree::Check(const std::string& alias) const {
    return testsupport::CheckLog(testsupport::ReadFile(Log(alias)), alias, initial_.at(alias),
                                 testsupport::ListPlainFiles(Path(alias)));
}

} // namespace reliability
