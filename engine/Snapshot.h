#pragma once

#include "engine/MyFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The entries of a directory as the last scan left them, in the order their names were first
// seen, each with its mark. A hash index over the names makes a full scan cost time in
// proportion to the listing, and the entries whose mark is not '=' are kept in a list of their
// own, so a pass over a few names never walks the whole snapshot.
class Snapshot {
public:
    // A full scan: drops the entries marked '-', marks every other '-', then Seen() for each
    // listed name marks it '=' or appends it marked '+'.
    void BeginScan();
    void Seen(std::string_view name);
    void EndScan();

    // A pass over the names a change notification mentioned: drops the entries marked '-' and
    // turns '+' into '=', then Present() / Absent() for each distinct name examined. Every name
    // not examined keeps its '='.
    void BeginPass();
    void Present(std::string_view name);
    void Absent(std::string_view name);
    void EndPass();

    // The names marked '+' or '-' (mark), in snapshot order.
    std::vector<std::string> Names(char mark) const;

    // The number of entries.
    std::size_t size() const { return live_; }
    void Clear();

private:
    static constexpr char Dead = '\0';
    static constexpr std::uint32_t None = UINT32_MAX;

    std::uint32_t Lookup(std::string_view name) const;
    std::uint32_t Append(std::string_view name);
    void Drop(std::uint32_t index);
    void Rehash(std::size_t slotCount);
    void CompactIfSparse();

    // In first-seen order; dropped entries stay as Dead until the next compaction.
    std::vector<MyFile> entries_;
    // Open addressing with linear probing: 0 is an empty slot, otherwise an entry index + 1.
    // A slot whose entry is Dead is reused by the next insertion that probes past it.
    std::vector<std::uint32_t> slots_;
    // Beside each slot, the top byte of its name's hash: a probe rarely has to look at an
    // entry that is not the one it seeks.
    std::vector<std::uint8_t> tags_;
    std::size_t usedSlots_ = 0;
    std::size_t live_ = 0;
    std::size_t dead_ = 0;
    // Indices of the entries whose mark is not '=', ascending between passes.
    std::vector<std::uint32_t> changed_;
    // Where the next name of a listing is expected: a directory usually lists in the same order
    // as last time, so most names are found here without touching the index.
    std::size_t cursor_ = 0;
};
