#include "platform/Wildcard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::MatchesMask;

namespace {

struct Case {
    const char* mask;
    const char* name;
    bool matches;
};

void ExpectAll(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(c.mask, c.name), c.matches)
            << "mask \"" << c.mask << "\" name \"" << c.name << "\"";
}

} // namespace

TEST(Wildcard, MatchingIgnoresAsciiCaseOnly) {
    ExpectAll({{"*.TXT", "a.txt", true},
               {"Report.Txt", "REPORT.TXT", true},
               {"\xC3\x84.txt", "\xC3\xA4.txt", false},
               {"a.txt", "a.txt.bak", false}});
}

TEST(Wildcard, StarMatchesAnyRunAndQuestionMarkOneCharacter) {
    ExpectAll({{"*", "anything.at.all", true},
               {"*", ".profile", true},
               {"a*c", "abbbc", true},
               {"a*c", "ac", true},
               {"a*c", "abd", false},
               {"a?c", "abc", true},
               {"a?c", "ac", false},
               {"a?c", "abbc", false},
               {"*.txt", "a.b.txt", true},
               {"*.txt", "txt", false},
               {"*.txt", ".txt", true},
               {"*.tar.gz", "a.b.tar.GZ", true},
               {"*.tar.gz", "tar.gz", false},
               {"*X", "abx", true},
               {"*a*b*c", "xaybzc", true},
               {"*a*b*c", "xaybz", false},
               {"*.*.txt", "a.b.txt", true},
               {"*.*.txt", "a.txt", false},
               {"*?.*", "x", true}});
}

TEST(Wildcard, DotStarAlsoMatchesNamesWithoutExtension) {
    ExpectAll({{"*.*", "README", true},
               {"*.*", "a.b.c", true},
               {"*.*", ".hidden", true},
               {"report.*", "report", true},
               {"report.*", "report.txt", true},
               {"report.*", "reporter", false},
               {"a.b.*", "a.b", true}});
}

TEST(Wildcard, TrailingDotMatchesOnlyNamesWithoutDot) {
    ExpectAll({{"*.", "README", true},
               {"*.", "a.txt", false},
               {"*.", ".profile", false},
               {"READ*.", "readme", true}});
}

TEST(Wildcard, QuestionMarkBeforeDotOrAtEndMayMatchNothing) {
    ExpectAll({{"file?.txt", "file.txt", true},
               {"file?.txt", "file1.txt", true},
               {"file?.txt", "file12.txt", false},
               {"file??", "file", true},
               {"file??", "file12", true},
               {"file??", "file123", false},
               {"a?b", "a.b", false}});
}

TEST(Wildcard, OtherCharactersAreLiteral) {
    ExpectAll({{"[ab].txt", "[ab].txt", true},
               {"[ab].txt", "a.txt", false},
               {"a+b", "a+b", true},
               {"", "a", false}});
}

TEST(Wildcard, ManyStarsOnALongNameStayCheap) {
    const std::string name(4000, 'a');
    EXPECT_FALSE(MatchesMask("*a*a*a*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(MatchesMask("*a*a*a*a*a*a*a*a*a*a*", name));
}
