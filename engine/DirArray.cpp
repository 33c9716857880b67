#include "engine/DirArray.h"

DirArray::DirArray() {
    dirs_.reserve(Capacity);
}

bool DirArray::Add(const MyDir& dir) {
    if (dirs_.size() >= Capacity)
        return false;
    dirs_.push_back(dir);
    return true;
}

void DirArray::Remove(std::size_t index) {
    if (index < dirs_.size())
        dirs_.erase(dirs_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::vector<platform::WatchedDir> DirArray::Watched() const {
    std::vector<platform::WatchedDir> watched;
    for (const MyDir& dir : dirs_)
        watched.push_back({dir.Path(), dir.Mask(), dir.Attrib()});
    return watched;
}
