// The headless watcher: watches the directories of "peer.cfg" in the current directory until
// SIGINT or SIGTERM, and writes every log line it appends to standard output as well. What goes
// wrong is said on standard error, once each time: a directory not watched or not answering, a
// log that can't be written (its lines wait in memory until it can), and at the end the lines
// that never could.

#include "config/Configuration.h"
#include "engine/MyWatchThread.h"
#include "platform/EndRequest.h"
#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view Usage =
    "Usage: peerwell-watch [--help | --version]\n"
    "Watches the directories listed in peer.cfg in the current directory and appends one line\n"
    "per file that appears or disappears to each directory's log, and to standard output once\n"
    "it is in the log. Lines a log can't take wait in memory until it can (at the end, they go\n"
    "to standard error). Runs until SIGINT or SIGTERM. Never writes peer.cfg.\n";

std::string Lines(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " line" : " lines");
}

// Each log line on standard output too, once it is in its log, a pass's lines in one write;
// on standard error, each change of a directory's watch and each episode of a failing log.
class Reporter : public WatchListener {
public:
    explicit Reporter(const DirArray& dirs) : dirs_(dirs) {}

    void Appended(const std::string&, std::span<const std::string> lines) override {
        std::string text;
        for (const std::string& line : lines) {
            text += line;
            text += '\n';
        }
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size())) << std::flush;
    }
    void Reported(std::size_t, const std::vector<std::string>&,
                  const std::vector<std::string>&) override {}
    void StateChanged(std::size_t slot, const DirState& state) override {
        if (std::exchange(watch_[slot], state.watch) == state.watch)
            return;
        const std::string quoted = '"' + dirs_[slot].Path() + '"';
        if (state.watch == DirState::Watch::NotWatched)
            std::cerr << "peerwell-watch: not watching " << quoted << ": " << state.watchReason;
        else if (state.watch == DirState::Watch::NotAnswering)
            std::cerr << "peerwell-watch: " << quoted << " does not answer: " << state.watchReason;
        else
            std::cerr << "peerwell-watch: " << quoted << " answers again";
        std::cerr << '\n';
    }
    void LogFailing(const std::string& log, const std::string& reason) override {
        std::cerr << "peerwell-watch: cannot write the log \"" << log << "\": " << reason
                  << "; its lines wait until it can be written\n";
    }
    void LogRecovered(const std::string& log, std::size_t late, std::size_t lost) override {
        std::cerr << "peerwell-watch: the log \"" << log << "\" is written again: " << Lines(late)
                  << " that waited went in";
        if (lost > 0)
            std::cerr << ", " << Lines(lost) << " older were lost: too many waited";
        std::cerr << '\n';
    }

private:
    const DirArray& dirs_;
    std::map<std::size_t, DirState::Watch> watch_; // as last said
};

// The lines that never went into their logs, so that they are not lost with the process.
void SayKeptLines(MyWatchThread& watch) {
    for (const KeptLog& kept : watch.TakeKeptLines()) {
        std::cerr << "peerwell-watch: " << Lines(kept.lines.size())
                  << " could not be written to the log \"" << kept.log << '"';
        if (kept.lost > 0)
            std::cerr << " (" << Lines(kept.lost) << " older were lost: too many waited)";
        std::cerr << ":\n";
        for (const std::string& line : kept.lines)
            std::cerr << line << '\n';
    }
}

// Tells a new user which file to write and what goes in it.
void ExplainNothingToWatch(int readError) {
    const std::filesystem::path file = std::filesystem::absolute(ConfigFileName);
    std::cerr << "peerwell-watch: nothing to watch: " << file.string()
              << (readError == 0 ? " holds no directory"
                                 : ": " + std::string(std::strerror(readError)))
              << "\nWrite it with the desktop program peerwell, or by hand while no program runs: "
                 "three header\nlines, then one line per directory (Path, Alias, Kind, Mask, "
                 "Attrib, LOG file, WAV file):\n";
    for (const std::string_view line : ConfigHeader)
        std::cerr << line << '\n';
    std::cerr << '"' << (file.parent_path() / "inbox").string() << "\" \"Inbox\" \"*\" "
              << "\"*.*\" \"0\" \"" << (file.parent_path() / "inbox.log").string() << "\" \"\"\n";
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string_view option = argc == 2 ? argv[1] : "";
    if (option == "--help") {
        std::cout << Usage;
        return 0;
    }
    if (option == "--version") {
        std::cout << "peerwell-watch " << PEERWELL_VERSION << '\n';
        return 0;
    }
    if (argc != 1) {
        std::cerr << Usage;
        return 2;
    }

    platform::CatchEndRequests();

    // Taken before peer.cfg is read, held until the end: one program per list.
    const platform::InstanceLock lock(ConfigFileName, platform::ProgramKind::Headless);
    if (const std::string said = platform::DescribeLock(lock); !said.empty())
        std::cerr << "peerwell-watch: " << said << '\n';
    if (lock.Result() == platform::InstanceLock::Outcome::Held)
        return 1;

    MyWatchThread watch;
    Reporter reporter(watch.Dirs);
    watch.SetListener(&reporter);
    const ConfigurationRead read = ReadConfiguration(watch.Dirs, ConfigFileName, std::cout);
    std::cout << std::flush;
    for (const SkippedLine& line : read.skipped)
        std::cerr << "peerwell-watch: " << std::filesystem::absolute(ConfigFileName).string()
                  << ": skipped " << DescribeSkippedLine(line, std::string::npos) << '\n';
    if (watch.Dirs.Count() == 0) {
        ExplainNothingToWatch(read.error);
        return 1;
    }

    if (!watch.Start()) {
        std::cerr << "peerwell-watch: cannot start the watch: "
                  << std::strerror(watch.LastRunResult()) << '\n';
        return 1;
    }
    platform::WaitForEndRequest();
    watch.Stop();
    SayKeptLines(watch);
    if (watch.LastRunResult() != 0)
        std::cerr << "peerwell-watch: the watch had ended: " << std::strerror(watch.LastRunResult())
                  << '\n';
    return 0;
}
