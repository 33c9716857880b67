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

std::string Folded(std::string text, bool upper) {
    for (char& c : text) {
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The mask with every star that is not followed by a dot written twice.
std::string DoubledStars(const std::string& mask) {
    std::string doubled;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        doubled += mask[i];
        if (mask[i] == '*' && (i + 1 == mask.size() || mask[i + 1] != '.'))
            doubled += '*';
    }
    return doubled;
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
    const std::size_t maskSize = data[0] % (rest.size() + 1);
    const std::string mask = rest.substr(0, maskSize);
    const std::string name = rest.substr(maskSize);

    const bool matches = platform::MatchesMask(mask, name);
    Check(platform::MatchesMask(Folded(mask, true), Folded(name, false)) == matches,
          "ASCII case changes the result", mask, name);
    Check(platform::MatchesMask(DoubledStars(mask), name) == matches,
          "a doubled star changes the result", mask, name);
    if (mask.find_first_of("*?.") == std::string::npos)
        Check(matches == (Folded(mask, false) == Folded(name, false)),
              "a plain mask is not compared as a name", mask, name);
    return 0;
}
