#pragma once

#include "engine/MyFile.h"

#include <vector>

// Placeholder; replaced by the indexed snapshot.
class Snapshot {
public:
    std::vector<MyFile> entries;
};
