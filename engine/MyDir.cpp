#include "engine/MyDir.h"

#include "engine/EventLog.h"
#include "platform/AppendFile.h"
#include "platform/DirSearch.h"

#include <unordered_set>

MyDir::MyDir() = default;

MyDir::MyDir(std::string Path, std::string Alias, char Kind, std::string Mask, std::int32_t Attrib,
             std::string Log, std::string Wav)
    : path_(std::move(Path)), alias_(std::move(Alias)), kind_(Kind), mask_(std::move(Mask)),
      attrib_(Attrib), log_(std::move(Log)), wav_(std::move(Wav)) {
    Rescan();
}

void MyDir::Get(std::string& Path, std::string& Alias, char& Kind, std::string& Mask,
                std::int32_t& Attrib, std::string& Log, std::string& Wav) const {
    Path = path_;
    Alias = alias_;
    Kind = kind_;
    Mask = mask_;
    Attrib = attrib_;
    Log = log_;
    Wav = wav_;
}

void MyDir::Set(std::string Path, std::string Alias, char Kind, std::string Mask,
                std::int32_t Attrib, std::string Log, std::string Wav) {
    files_.Clear();
    path_ = std::move(Path);
    alias_ = std::move(Alias);
    kind_ = Kind;
    mask_ = std::move(Mask);
    attrib_ = Attrib;
    log_ = std::move(Log);
    wav_ = std::move(Wav);
    Rescan();
}

bool ScanResult::HoldsName() const {
    return (added && !added->empty()) || (removed && !removed->empty());
}

void MyDir::Rescan() {
    links_.clear();
    files_.BeginScan();
    listed_ = platform::SearchDirectory(
        path_, mask_, attrib_, [this](std::string_view name) { files_.Seen(name); }, &links_);
    files_.EndScan();
}

void MyDir::Rescan(const platform::DirListing& listing) {
    if (listing.error != 0 && !listing.DirectoryGone()) {
        // An empty pass: the marks of the last scan are settled, no name changes.
        files_.BeginPass();
        files_.EndPass();
        return;
    }
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
    if (!changes.complete || !listed_) {
        Rescan();
        return;
    }
    // Decide every name before touching the snapshot, so a name that can't be decided leaves
    // it as it was for the full listing.
    const std::vector<std::string_view> names = NamesToExamine(changes);
    std::vector<bool> listed;
    std::vector<std::string> links;
    listed.reserve(names.size());
    for (const std::string_view name : names) {
        bool isLink = false;
        const platform::EntryCheck check =
            platform::CheckEntry(path_, name, mask_, attrib_, &isLink);
        if (check == platform::EntryCheck::Unknown) {
            Rescan();
            return;
        }
        listed.push_back(check == platform::EntryCheck::Listed);
        if (isLink)
            links.emplace_back(name);
    }
    files_.BeginPass();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (listed[i])
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
    if (kind_ == '-')
        return std::nullopt;
    return files_.Names('+');
}

std::optional<std::vector<std::string>> MyDir::GetRemoved() const {
    if (kind_ == '+')
        return std::nullopt;
    return files_.Names('-');
}

LogWrite MyDir::WriteLog(const ScanResult& found, const std::string& timeStamp) const {
    LogWrite result;
    const std::string& label = alias_.empty() ? path_ : alias_;
    for (const auto& [list, sign] :
         {std::pair{&found.added, '+'}, std::pair{&found.removed, '-'}}) {
        if (*list) {
            for (const std::string& name : **list)
                result.lines.push_back(FormatLogLine(timeStamp, sign, label, name));
        }
    }
    if (!log_.empty())
        result.error = platform::AppendLines(log_, result.lines);
    return result;
}
