#include "platform/Wildcard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Wildcard, MatchingRules) {
    const struct {
        const char* mask;
        std::vector<std::string> matching, other;
    } cases[] = {
        // ASCII case only is ignored; other characters are literal.
        {"*.TXT", {"a.txt"}, {"a.txt.bak"}},
        {"Report.Txt", {"REPORT.TXT"}, {}},
        {"\xC3\x84.txt", {}, {"\xC3\xA4.txt"}},
        {"[ab].txt", {"[ab].txt"}, {"a.txt"}},
        {"", {}, {"a"}},
        // A star matches any run, a question mark one character.
        {"*", {".profile"}, {}},
        {"a*c", {"ac", "abbbc"}, {"abd"}},
        {"a?c", {"abc"}, {"ac", "abbc"}},
        {"*.txt", {".txt", "a.b.txt"}, {"txt"}},
        {"*.tar.gz", {"a.b.tar.GZ"}, {"tar.gz"}},
        {"*a*b*c", {"xaybzc"}, {"xaybz"}},
        {"*.*.txt", {"a.b.txt"}, {"a.txt"}},
        {"*?.*", {"x"}, {}},
        // .* also matches names without an extension; a trailing dot only names without a dot.
        {"*.*", {"README", ".hidden", "a.b.c"}, {}},
        {"report.*", {"report", "report.txt"}, {"reporter"}},
        {"a.b.*", {"a.b"}, {}},
        {"*.", {"README"}, {"a.txt", ".profile"}},
        // A question mark before a dot or at the end may match nothing.
        {"file?.txt", {"file.txt", "file1.txt"}, {"file12.txt"}},
        {"file??", {"file", "file12"}, {"file123"}},
        {"a?b", {}, {"a.b"}},
    };
    for (const auto& c : cases) {
        for (const std::string& name : c.matching)
            EXPECT_TRUE(platform::Wildcard(c.mask).Matches(name)) << c.mask << " " << name;
        for (const std::string& name : c.other)
            EXPECT_FALSE(platform::Wildcard(c.mask).Matches(name)) << c.mask << " " << name;
    }
    // Many stars on a long name stay cheap.
    EXPECT_FALSE(platform::Wildcard("*a*a*a*a*a*a*a*a*a*a*b").Matches(std::string(4000, 'a')));
}
