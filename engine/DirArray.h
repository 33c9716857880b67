#pragma once

#include "engine/MyDir.h"

#include <cstddef>
#include <string>
#include <vector>

// The list of watched directories: index-addressed, room for 11 records, never grows.
class DirArray {
public:
    static constexpr std::size_t Capacity = 11;

    DirArray();

    std::size_t Count() const { return dirs_.size(); }
    MyDir& operator[](std::size_t index) { return dirs_[index]; }
    const MyDir& operator[](std::size_t index) const { return dirs_[index]; }

    // Appends a copy; returns false and changes nothing when the list is full.
    bool Add(const MyDir& dir);
    // Removes the record at index; later records move down with their snapshots.
    void Remove(std::size_t index);
    // What the watch of a run needs of every record, in order.
    std::vector<platform::WatchedDir> Watched() const;

    auto begin() const { return dirs_.begin(); }
    auto end() const { return dirs_.end(); }

private:
    std::vector<MyDir> dirs_;
};

// The user interface lets the list grow to this many directories.
inline constexpr std::size_t MaxWatchedDirs = 9;
