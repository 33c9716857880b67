// What every backend of the instance lock shares: the lock's name and the holder's record.
#include "platform/InstanceLock.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

constexpr std::string_view KindWords[] = {"desktop", "headless"};
// Long enough for any process id and kind, so a record always overwrites the one before it.
constexpr std::size_t RecordLength = 32;

} // namespace

std::string LockName(const std::string& identity) {
    // FNV-1a, 64 bits: a short name that stands for the whole path.
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : identity)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}

std::string FormatLockRecord(unsigned long processId, ProgramKind kind) {
    std::string record =
        std::to_string(processId) + ' ' + std::string(KindWords[static_cast<int>(kind)]);
    record.resize(RecordLength - 1, ' ');
    return record + '\n';
}

LockHolder ParseLockRecord(std::string_view record) {
    LockHolder holder;
    if (record.size() < RecordLength || record[RecordLength - 1] != '\n')
        return {};
    const char* end = record.data() + RecordLength;
    const auto [next, error] = std::from_chars(record.data(), end, holder.processId);
    const std::string_view kind(next, static_cast<std::size_t>(end - next));
    if (error != std::errc() || !kind.starts_with(' '))
        return {};
    if (kind.substr(1).starts_with(KindWords[static_cast<int>(ProgramKind::Headless)]))
        holder.kind = ProgramKind::Headless;
    else if (!kind.substr(1).starts_with(KindWords[static_cast<int>(ProgramKind::Desktop)]))
        return {};
    return holder;
}

std::string DescribeLock(const InstanceLock& lock) {
    switch (lock.Result()) {
    case InstanceLock::Outcome::Taken:
        return {};
    case InstanceLock::Outcome::Failed:
        return "nothing keeps a second program from watching " + lock.Identity() +
               " as well: " + std::strerror(lock.Error());
    case InstanceLock::Outcome::Held:
        break;
    }
    const LockHolder& holder = lock.Holder();
    const std::string text = "Peerwell is already watching " + lock.Identity() + " in ";
    if (holder.processId == 0)
        return text + "another program.";
    return text +
           (holder.kind == ProgramKind::Headless ? "the headless watcher peerwell-watch"
                                                 : "the desktop program peerwell") +
           " (process " + std::to_string(holder.processId) + ").";
}

} // namespace platform
