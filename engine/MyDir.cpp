#include "engine/MyDir.h"

#include "engine/EventLog.h"
#include "platform/DirSearch.h"

#include <unordered_set>

MyDir::MyDir() = default;

MyDir::MyDir(DirSettings settings) : settings_(std::move(settings)) {
    Rescan();
}

void MyDir::Set(DirSettings settings) {
    files_.Clear();
    settings_ = std::move(settings);
    Rescan();
}

bool ScanResult::HoldsName() const {
    return (added && !added->empty()) || (removed && !removed->empty());
}

void MyDir::Rescan() {
    links_.clear();
    files_.BeginScan();
    listed_ = platform::SearchDirectory(
        settings_.Path, settings_.Mask, settings_.Attrib,
        [this](std::string_view name) { files_.Seen(name); }, &links_);
    files_.EndScan();
}

// A full scan from a listing taken elsewhere.
void MyDir::Rescan(const platform::DirListing& listing) {
    files_.BeginScan();
    for (const std::string& name : listing.names)
        files_.Seen(name);
    files_.EndScan();
    links_ = listing.links;
    listed_ = listing.error == 0;
}

void MyDir::Rescan(const platform::ChangeSet& changes) {
    if (changes.listing) {
        Rescan(*changes.listing);
        return;
    }
    if (!listed_) {
        Rescan();
        return;
    }
    // Decide every name before touching the snapshot, so a name that can't be decided leaves
    // it as it was for the full listing.
    const std::vector<std::string_view> names = NamesToExamine(changes);
    std::vector<std::string> links;
    const std::optional<std::vector<bool>> listed =
        platform::CheckEntries(settings_.Path, names, settings_.Mask, settings_.Attrib, &links);
    if (!listed) {
        Rescan();
        return;
    }
    files_.BeginPass();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if ((*listed)[i])
            files_.Present(names[i]);
        else
            files_.Absent(names[i]);
    }
    files_.EndPass();
    links_ = std::move(links);
}

// The changed names, then the known links that are not among them.
std::vector<std::string_view> MyDir::NamesToExamine(const platform::ChangeSet& changes) const {
    std::vector<std::string_view> names(changes.names.begin(), changes.names.end());
    if (links_.empty())
        return names;
    const std::unordered_set<std::string_view> mentioned(names.begin(), names.end());
    for (const std::string& link : links_) {
        if (!mentioned.contains(link))
            names.push_back(link);
    }
    return names;
}

std::optional<std::vector<std::string>> MyDir::GetAdded() const {
    if (settings_.Kind == '-')
        return std::nullopt;
    return files_.Names('+');
}

std::optional<std::vector<std::string>> MyDir::GetRemoved() const {
    if (settings_.Kind == '+')
        return std::nullopt;
    return files_.Names('-');
}

std::vector<std::string> MyDir::LogLines(const ScanResult& found,
                                         const std::string& timeStamp) const {
    std::vector<std::string> lines;
    lines.reserve((found.added ? found.added->size() : 0) +
                  (found.removed ? found.removed->size() : 0));
    const std::string& label = settings_.Alias.empty() ? settings_.Path : settings_.Alias;
    for (const auto& [list, sign] :
         {std::pair{&found.added, '+'}, std::pair{&found.removed, '-'}}) {
        if (*list) {
            for (const std::string& name : **list)
                lines.push_back(FormatLogLine(timeStamp, sign, label, name));
        }
    }
    return lines;
}
