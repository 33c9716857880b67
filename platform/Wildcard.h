#pragma once

#include <string_view>

namespace platform {

// Matches a file name against one wildcard pattern the way the original platform's directory
// search does: ASCII case ignored, '*' any run, '?' one character, "x.*" also matches "x",
// a trailing "." matches only names without a dot, and '?' before a "." or at the end may match
// nothing.
bool MatchesMask(std::string_view mask, std::string_view name);

} // namespace platform
