#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A file-name pattern matched the way the original platform's directory search does: ASCII case
// ignored, '*' any run, '?' one character other than '.', "x.*" also matches "x", a trailing "."
// matches only names without a dot, and '?' before a '.' or at the end may match nothing.
class Wildcard {
public:
    explicit Wildcard(std::string_view mask);
    bool Matches(std::string_view name) const;

private:
    enum class Token : char {
        Literal,
        Star,        // any run of characters
        NoFinalDot,  // '*' before a '.': any run that leaves out the name's last '.'
        OptionalOne, // '?': one character, or nothing at a '.' or at the end
        DotOrEnd     // '.' before a wildcard or at the end: a '.', or nothing at the end
    };
    struct Step {
        Token token;
        char folded;
    };

    bool MatchFrom(std::size_t step, std::size_t at, std::string_view name,
                   std::size_t lastDot) const;
    bool MatchAllPaths(std::string_view name, std::size_t lastDot) const;

    std::vector<Step> steps_;
    bool matchesAll_ = false;
    // Set for a star followed by plain characters only ("*.txt"): the name's end is compared.
    bool suffixOnly_ = false;
    std::string suffix_;
    int stars_ = 0;
};

} // namespace platform
