#include "tests/reliability/WatchedTree.h"

#include "config/Configuration.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace reliability {

namespace {

constexpr std::string_view MarkerPrefix = "zz-settle-";
constexpr std::size_t StampSize = 16;
// A directory may have a backlog of events to work off first, on a loaded machine under a
// sanitizer.
constexpr auto SettleDeadline = std::chrono::seconds(180);
constexpr auto AgreeDeadline = std::chrono::seconds(60);
// Polls (of 5 ms) between two markers in a directory that has none logged yet.
constexpr int RemakePolls = 100;

} // namespace

WatchedTree::WatchedTree(std::unique_ptr<platform::SoundPlayer> sound) {
    if (!sound) {
        auto counter = std::make_unique<CountingSoundPlayer>();
        counter_ = counter.get();
        sound = std::move(counter);
    }
    watch_ = std::make_unique<MyWatchThread>(std::move(sound));
    watch_->SetLineSink([this](const std::string& line) {
        ++lines_;
        if (line.find(MarkerPrefix) != std::string::npos) {
            std::lock_guard lock(mutex_);
            markerLines_.insert(line.substr(StampSize));
        }
    });
    std::filesystem::create_directory(root_ / "logs");
}

WatchedTree::~WatchedTree() {
    Stop();
}

std::string WatchedTree::Add(const std::string& alias, const DirOptions& options) {
    Dir dir{options.path.empty() ? root_ / alias : options.path,
            options.log.empty() ? root_ / ("logs/" + alias + ".log") : options.log,
            {}};
    if (options.create)
        std::filesystem::create_directories(dir.path);
    for (const std::string& file : options.files)
        testsupport::WriteFile(dir.path + "/" + file);
    dir.initial = testsupport::ListPlainFiles(dir.path);
    watch_->Dirs.Add(MyDir(dir.path, alias, '*', "*.*", 0, dir.log, "pass.wav"));
    dirs_[alias] = dir;
    return dir.path;
}

bool WatchedTree::Start() {
    run_ = watch_->Start();
    return run_.joinable();
}

int WatchedTree::Stop() {
    if (!run_.joinable())
        return 0;
    watch_->RequestStop();
    run_.join();
    return watch_->LastRunResult();
}

bool WatchedTree::Restart() {
    if (Stop() != 0)
        return false;
    if (WriteConfiguration(watch_->Dirs, root_ / "peer.cfg") != 0)
        return false;
    return Start();
}

bool WatchedTree::MarkerLogged(const std::string& line) const {
    std::lock_guard lock(mutex_);
    return markerLines_.count(line) != 0;
}

bool WatchedTree::Settle(const std::string& alias) {
    return Settle(std::vector<std::string>{alias});
}

bool WatchedTree::SettleAll() {
    std::vector<std::string> aliases;
    for (const auto& entry : dirs_)
        aliases.push_back(entry.first);
    return Settle(aliases);
}

// Every directory's marker is made at once, so that their passes overlap. A marker made before
// the run watched its directory waits for the next change there, so while a directory has none
// logged, another one is made now and then.
bool WatchedTree::Settle(const std::vector<std::string>& aliases) {
    std::vector<std::pair<std::string, std::string>> made; // alias, marker
    const auto logged = [&](const std::string& tag, const std::string& alias,
                            const std::string& marker) {
        return MarkerLogged(tag + alias + "\\" + marker);
    };
    const auto allLogged = [&](const std::string& tag) {
        return std::all_of(made.begin(), made.end(),
                           [&](const auto& m) { return logged(tag, m.first, m.second); });
    };
    const auto make = [&](const std::string& alias) {
        for (const auto& [madeIn, marker] : made) {
            if (madeIn == alias && logged(" [+] ", alias, marker))
                return;
        }
        made.emplace_back(alias, std::string(MarkerPrefix) + std::to_string(++markers_));
        testsupport::WriteFile(Path(alias) + "/" + made.back().second);
    };
    int polls = 0;
    const bool added = testsupport::WaitUntil(
        [&] {
            if (polls++ % RemakePolls == 0)
                std::for_each(aliases.begin(), aliases.end(), make);
            return allLogged(" [+] ");
        },
        SettleDeadline);
    if (!added)
        return false;
    for (const auto& [alias, marker] : made)
        std::filesystem::remove(Path(alias) + "/" + marker);
    return testsupport::WaitUntil([&] { return allLogged(" [-] "); }, SettleDeadline);
}

testsupport::Replay WatchedTree::Check(const std::string& alias) const {
    const Dir& dir = dirs_.at(alias);
    return testsupport::CheckLog(testsupport::ReadFile(dir.log), alias, dir.initial,
                                 testsupport::ListPlainFiles(dir.path));
}

testsupport::Replay WatchedTree::WaitUntilAgrees(const std::string& alias) const {
    testsupport::Replay replay;
    testsupport::WaitUntil(
        [&] {
            replay = Check(alias);
            return replay.Agrees();
        },
        AgreeDeadline);
    return replay;
}

int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

} // namespace reliability
