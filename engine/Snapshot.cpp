#include "engine/Snapshot.h"

#include <algorithm>
#include <functional>

namespace {

std::size_t HashOf(std::string_view name) {
    return std::hash<std::string_view>{}(name);
}

// The hash's top byte: its low bits already chose the slot.
std::uint8_t TagOf(std::size_t hash) {
    return static_cast<std::uint8_t>(hash >> (8 * (sizeof(std::size_t) - 1)));
}

// A power of two that keeps the table at most half full.
std::size_t SlotCountFor(std::size_t entries) {
    std::size_t count = 16;
    while (count < 2 * entries)
        count *= 2;
    return count;
}

} // namespace

void Snapshot::BeginScan() {
    changed_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        MyFile& entry = entries_[i];
        if (entry.State == '-')
            Drop(static_cast<std::uint32_t>(i));
        else if (entry.State != Dead)
            entry.State = '-';
    }
    CompactIfSparse();
    cursor_ = 0;
}

void Snapshot::Seen(std::string_view name) {
    if (cursor_ < entries_.size()) {
        MyFile& expected = entries_[cursor_];
        if (expected.State != Dead && expected.Name == name) {
            expected.State = '=';
            ++cursor_;
            return;
        }
    }
    std::uint32_t index = Lookup(name);
    if (index == None)
        index = Append(name);
    else
        entries_[index].State = '=';
    cursor_ = index + 1;
}

void Snapshot::EndScan() {
    const auto isChanged = [](const MyFile& entry) {
        return entry.State == '+' || entry.State == '-';
    };
    changed_ = {};
    changed_.reserve(
        static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(), isChanged)));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (isChanged(entries_[i]))
            changed_.push_back(static_cast<std::uint32_t>(i));
    }
}

void Snapshot::BeginPass() {
    for (const std::uint32_t index : changed_) {
        MyFile& entry = entries_[index];
        if (entry.State == '-')
            Drop(index);
        else if (entry.State == '+')
            entry.State = '=';
    }
    changed_.clear();
    CompactIfSparse();
}

void Snapshot::Present(std::string_view name) {
    const std::uint32_t index = Lookup(name);
    if (index == None)
        changed_.push_back(Append(name));
    else if (entries_[index].State == '-')
        entries_[index].State = '=';
}

void Snapshot::Absent(std::string_view name) {
    const std::uint32_t index = Lookup(name);
    if (index != None && entries_[index].State == '=') {
        entries_[index].State = '-';
        changed_.push_back(index);
    }
}

void Snapshot::EndPass() {
    std::sort(changed_.begin(), changed_.end());
    changed_.erase(std::unique(changed_.begin(), changed_.end()), changed_.end());
}

std::vector<std::string> Snapshot::Names(char mark) const {
    std::vector<std::string> names;
    for (const std::uint32_t index : changed_) {
        if (entries_[index].State == mark)
            names.push_back(entries_[index].Name);
    }
    return names;
}

void Snapshot::Clear() {
    *this = Snapshot();
}

std::uint32_t Snapshot::Lookup(std::string_view name) const {
    if (slots_.empty())
        return None;
    const std::size_t mask = slots_.size() - 1;
    const std::size_t hash = HashOf(name);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t occupant = slots_[slot];
        if (occupant == 0)
            return None;
        if (tags_[slot] != TagOf(hash))
            continue;
        const MyFile& entry = entries_[occupant - 1];
        if (entry.State != Dead && entry.Name == name)
            return occupant - 1;
    }
}

// Adds an entry marked '+' for a name that is not in the snapshot.
std::uint32_t Snapshot::Append(std::string_view name) {
    if ((usedSlots_ + 1) * 2 > slots_.size())
        Rehash(SlotCountFor(live_ + 1));
    const auto index = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(MyFile{std::string(name), '+'});
    ++live_;
    const std::size_t mask = slots_.size() - 1;
    const std::size_t hash = HashOf(name);
    std::size_t slot = hash & mask;
    for (;; slot = (slot + 1) & mask) {
        if (slots_[slot] == 0) {
            ++usedSlots_;
            break;
        }
        if (dead_ > 0 && entries_[slots_[slot] - 1].State == Dead)
            break;
    }
    slots_[slot] = index + 1;
    tags_[slot] = TagOf(hash);
    return index;
}

void Snapshot::Drop(std::uint32_t index) {
    entries_[index].State = Dead;
    entries_[index].Name = std::string();
    --live_;
    ++dead_;
}

void Snapshot::Rehash(std::size_t slotCount) {
    std::vector<std::uint32_t>(slotCount).swap(slots_);
    std::vector<std::uint8_t>(slotCount).swap(tags_);
    usedSlots_ = 0;
    const std::size_t mask = slotCount - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].State == Dead)
            continue;
        const std::size_t hash = HashOf(entries_[i].Name);
        std::size_t slot = hash & mask;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask;
        slots_[slot] = static_cast<std::uint32_t>(i + 1);
        tags_[slot] = TagOf(hash);
        ++usedSlots_;
    }
}

// Called only between passes, when no index is held in changed_.
void Snapshot::CompactIfSparse() {
    if (dead_ == 0 || dead_ <= live_)
        return;
    std::erase_if(entries_, [](const MyFile& entry) { return entry.State == Dead; });
    if (entries_.capacity() > 4 * entries_.size())
        entries_.shrink_to_fit();
    dead_ = 0;
    Rehash(SlotCountFor(live_));
    cursor_ = 0;
}
