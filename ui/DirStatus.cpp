#include "ui/DirStatus.h"

#include <algorithm>
#include <map>

namespace {

// "1 line", "12 lines".
std::string Count(std::size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

} // namespace

std::string LabelOf(const DirSettings& settings) {
    return settings.Alias.empty() ? settings.Path : settings.Alias;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines)
        joined += (joined.empty() ? "" : "\n") + line;
    return joined;
}

void DirStatus::Restart(const DirArray& dirs) {
    dirs_.clear();
    for (const MyDir& dir : dirs)
        dirs_.push_back({dir.Path(), LabelOf(dir.Settings()), dir.Settings().Log, {}});
}

bool DirStatus::Set(std::size_t slot, const DirState& state) {
    if (slot >= dirs_.size())
        return false;
    const bool wasWell = dirs_[slot].state.Well();
    dirs_[slot].state = state;
    return wasWell && !state.Well();
}

bool DirStatus::Failing(std::size_t slot) const {
    return slot < dirs_.size() && !dirs_[slot].state.Well();
}

std::string DirStatus::Problems(std::size_t slot) const {
    const Dir& dir = dirs_.at(slot);
    std::vector<std::string> problems;
    if (dir.state.watch == DirState::Watch::NotWatched)
        problems.push_back(dir.label + " is not watched: " + dir.state.watchReason);
    if (dir.state.watch == DirState::Watch::NotAnswering)
        problems.push_back(dir.label + " does not answer: " + dir.state.watchReason);
    if (!dir.state.logReason.empty())
        problems.push_back("The log of " + dir.label + " can't be written: " + dir.state.logReason);
    return JoinLines(problems);
}

std::string DirStatus::TrayTip() const {
    const auto count = [&](auto&& test) {
        return static_cast<std::size_t>(std::count_if(
            dirs_.begin(), dirs_.end(), [&](const Dir& dir) { return test(dir.state); }));
    };
    const std::size_t failing = count([](const DirState& s) { return !s.Well(); });
    const std::size_t logs = count([](const DirState& s) { return !s.logReason.empty(); });
    const std::size_t notWatched =
        count([](const DirState& s) { return s.watch == DirState::Watch::NotWatched; });
    const std::size_t notAnswering =
        count([](const DirState& s) { return s.watch == DirState::Watch::NotAnswering; });
    const std::string ofAll = "Peerwell: " + std::to_string(failing) + " of " +
                              Count(dirs_.size(), "directory", "directories");
    if (failing == 0)
        return "Peerwell";
    if (logs == 0 && notWatched == failing)
        return ofAll + " not watched";
    if (logs == 0 && notAnswering == failing)
        return ofAll + " not answering";
    if (logs == failing && notWatched + notAnswering == 0)
        return "Peerwell: " + Count(logs, "log", "logs") + " can't be written";
    return ofAll + " need attention";
}

// A log that several directories share keeps one count of lines for all of them.
std::string DirStatus::WaitingLines() const {
    std::map<std::string, std::size_t> waiting;
    for (const Dir& dir : dirs_)
        if (dir.state.keptLines > 0 && !dir.log.empty())
            waiting[dir.log] = std::max(waiting[dir.log], dir.state.keptLines);
    std::vector<std::string> sentences;
    for (const auto& [log, lines] : waiting)
        sentences.push_back(Count(lines, "line waits", "lines wait") + " for " + log +
                            ", which can't be written.");
    return JoinLines(sentences);
}

std::set<std::string> DirStatus::FailingPaths() const {
    std::set<std::string> paths;
    for (const Dir& dir : dirs_)
        if (!dir.state.Well())
            paths.insert(dir.path);
    return paths;
}
