#pragma once

#include <ctime>
#include <string>
#include <string_view>

// "YYYY.MM.DD hh:mm", the 16-character time stamp of a log line.
std::string FormatTimeStamp(const std::tm& time);
// The time stamp of the local time now.
std::string LocalTimeStamp();

// One log line without its line end: stamp, " [+] " or " [-] ", label, '\', name. Control
// bytes (below 0x20 and 0x7F) are written as \xHH so that every event stays one line; in the
// name a backslash is written as \x5C too, so a line can be read back unambiguously.
std::string FormatLogLine(std::string_view stamp, char sign, std::string_view label,
                          std::string_view name);
