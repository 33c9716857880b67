#include "tests/reliability/WatchedTree.h"

#include <cstdlib>
#include <filesystem>

namespace reliability {

namespace {

constexpr std::string_view MarkerPrefix = "zz-settle-";
constexpr std::size_t StampSize = 16;
// A directory may have a backlog of events to work off first, on a loaded machine under a
// sanitizer.
constexpr auto SettleDeadline = std::chrono::seconds(180);

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
    if (watch_->WriteConfiguration(root_ / "peer.cfg") != 0)
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

// Every directory's marker is made at once, so that their passes overlap.
bool WatchedTree::Settle(const std::vector<std::string>& aliases) {
    const std::string marker = std::string(MarkerPrefix) + std::to_string(++markers_);
    const auto logged = [&](const char* tag) {
        return testsupport::WaitUntil(
            [&] {
                for (const std::string& alias : aliases) {
                    if (!MarkerLogged(tag + alias + "\\" + marker))
                        return false;
                }
                return true;
            },
            SettleDeadline);
    };
    for (const std::string& alias : aliases)
        testsupport::WriteFile(Path(alias) + "/" + marker);
    if (!logged(" [+] "))
        return false;
    for (const std::string& alias : aliases)
        std::filesystem::remove(Path(alias) + "/" + marker);
    return logged(" [-] ");
}

testsupport::Replay WatchedTree::Check(const std::string& alias) const {
    const Dir& dir = dirs_.at(alias);
    return testsupport::CheckLog(testsupport::ReadFile(dir.log), alias, dir.initial,
                                 testsupport::ListPlainFiles(dir.path));
}

int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

} // namespace reliability
