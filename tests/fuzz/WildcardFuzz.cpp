// Matches arbitrary names against arbitrary masks. Beside not crashing or hanging, the matcher
// must ignore ASCII case, treat a doubled star like a single one (which also compares its
// one-star and many-star ways of matching), and compare masks without wildcards or dots as
// plain names.
#include "platform/Wildcard.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void Check(bool holds, const char* what, const std::string& mask, const std::string& name) {
    if (holds)
        return;
    std::fprintf(stderr, "%s: mask \"%s\" name \"%s\"\n", what, mask.c_str(), name.c_str());
    std::abort();
}

} // namespace

// The first byte says how long the mask is; the rest after the mask is the name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string mask = rest.substr(0, data[0] % (rest.size() + 1));
    const std::string name = rest.substr(mask.size());
    // Every star that is not followed by a dot written twice.
    std::string doubled;
    for (std::size_t i = 0; i < mask.size(); ++i)
        doubled += mask[i] == '*' && mask.compare(i + 1, 1, ".") != 0 ? "**" : mask.substr(i, 1);

    const bool matches = platform::MatchesMask(mask, name);
    Check(platform::MatchesMask(Upper(mask), Lower(name)) == matches,
          "ASCII case changes the result", mask, name);
    Check(platform::MatchesMask(doubled, name) == matches, "a doubled star changes the result",
          mask, name);
    if (mask.find_first_of("*?.") == std::string::npos)
        Check(matches == (Lower(mask) == Lower(name)), "a plain mask is not compared as a name",
              mask, name);
    return 0;
}
