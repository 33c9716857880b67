#pragma once

#include <string>

// One entry of a directory snapshot.
struct MyFile {
    std::string Name;
    // '=' seen before and now, '+' new at the last scan, '-' missing at the last scan.
    char State = '+';
};
