// The headless watcher: watches the directories of "peer.cfg" in the current directory until
// SIGINT or SIGTERM, and writes every log line it appends to standard output as well.

#include "config/Configuration.h"
#include "engine/MyWatchThread.h"
#include "platform/EndRequest.h"
#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>

namespace {

constexpr std::string_view Usage =
    "Usage: peerwell-watch [--help | --version]\n"
    "Watches the directories listed in peer.cfg in the current directory and appends one line\n"
    "per file that appears or disappears to each directory's log, and to standard output.\n"
    "Runs until SIGINT or SIGTERM. Never writes peer.cfg.\n";

// Each log line on standard output too, once appended; what keeps a directory from being
// watched on standard error.
class Reporter : public WatchListener {
public:
    void Appended(const std::string&, std::span<const std::string> lines) override {
        for (const std::string& line : lines)
            std::cout << line << '\n';
        std::cout << std::flush;
    }
    void Reported(std::size_t, const std::vector<std::string>&,
                  const std::vector<std::string>&) override {}
    void StateChanged(std::size_t slot, const DirState& state) override {
        if (state.watch != DirState::Watch::Watched)
            std::cerr << "peerwell-watch: not watching \"" << (*dirs)[slot].Path()
                      << "\": " << state.watchReason << '\n';
    }

    const DirArray* dirs = nullptr;
};

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
    Reporter reporter;
    reporter.dirs = &watch.Dirs;
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
    if (watch.LastRunResult() != 0)
        std::cerr << "peerwell-watch: the watch had ended: " << std::strerror(watch.LastRunResult())
                  << '\n';
    return 0;
}
