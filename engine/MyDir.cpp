#include "engine/MyDir.h"

#include "engine/EventLog.h"
#include "platform/AppendFile.h"
#include "platform/DirSearch.h"

#include <unordered_set>

MyDir::MyDir() = default;

MyDir::MyDir(DirSettings settings) : settings_(std::move(settings)) {
    Rescan();
}

MyDir::MyDir(std::string Path, std::string Alias, char Kind, std::string Mask, std::int32_t Attrib,
             std::string Log, std::string Wav)
    : MyDir(DirSettings{std::move(Path), std::move(Alias), Kind, std::move(Mask), Attrib,
                        std::move(Log), std::move(Wav)}) {}

MyDir::MyDir(const MyDir& other)
    : settings_(other.settings_), files_(other.files_), links_(other.links_) {}

MyDir& MyDir::operator=(const MyDir& other) {
    if (this != &other)
        *this = MyDir(other);
    return *this;
}

MyDir::MyDir(MyDir&& other) noexcept = default;
MyDir& MyDir::operator=(MyDir&& other) noexcept = default;
MyDir::~MyDir() = default;

void MyDir::Get(std::string& Path, std::string& Alias, char& Kind, std::string& Mask,
                std::int32_t& Attrib, std::string& Log, std::string& Wav) const {
    Path = settings_.Path;
    Alias = settings_.Alias;
    Kind = settings_.Kind;
    Mask = settings_.Mask;
    Attrib = settings_.Attrib;
    Log = settings_.Log;
    Wav = settings_.Wav;
}

void MyDir::Set(DirSettings settings) {
    files_.Clear();
    settings_ = std::move(settings);
    Rescan();
}

void MyDir::Set(std::string Path, std::string Alias, char Kind, std::string Mask,
                std::int32_t Attrib, std::string Log, std::string Wav) {
    Set(DirSettings{std::move(Path), std::move(Alias), Kind, std::move(Mask), Attrib,
                    std::move(Log), std::move(Wav)});
}

void MyDir::Rescan() {
    added_.reset();
    removed_.reset();
    links_.clear();
    files_.BeginScan();
    platform::SearchDirectory(
        settings_.Path + platform::PathSeparator() + settings_.Mask, settings_.Attrib,
        [this](std::string_view name) { files_.Seen(name); }, &links_);
    files_.EndScan();
}

void MyDir::Rescan(const platform::ChangeSet& changes) {
    // The volume label, and the entries of a subdirectory named in Mask, are seen only by a
    // listing.
    if (!changes.complete || (settings_.Attrib & platform::AttrVolumeLabel) ||
        settings_.Mask.find(platform::PathSeparator()) != std::string::npos) {
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
            platform::CheckEntry(settings_.Path, name, settings_.Mask, settings_.Attrib, &isLink);
        if (check == platform::EntryCheck::Unknown) {
            Rescan();
            return;
        }
        listed.push_back(check == platform::EntryCheck::Listed);
        if (isLink)
            links.emplace_back(name);
    }
    added_.reset();
    removed_.reset();
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

const std::vector<std::string>* MyDir::GetAdded() {
    if (!added_ && settings_.Kind != '-')
        added_ = files_.Names('+');
    return added_ ? &*added_ : nullptr;
}

const std::vector<std::string>* MyDir::GetRemoved() {
    if (!removed_ && settings_.Kind != '+')
        removed_ = files_.Names('-');
    return removed_ ? &*removed_ : nullptr;
}

LogWrite MyDir::WriteLog(const std::string& timeStamp) const {
    LogWrite result;
    const std::string& label = settings_.Alias.empty() ? settings_.Path : settings_.Alias;
    for (const auto& [list, sign] : {std::pair{&added_, '+'}, std::pair{&removed_, '-'}}) {
        if (*list) {
            for (const std::string& name : **list)
                result.lines.push_back(FormatLogLine(timeStamp, sign, label, name));
        }
    }
    if (!settings_.Log.empty())
        result.error = platform::AppendLines(settings_.Log, result.lines);
    return result;
}
