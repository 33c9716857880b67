#include "tests/config/ConfigFixture.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const std::string Example =
    Header +
    R"("D:\Incoming" "Mail drop" "*" "*.*" "0" "D:\Logs\incoming.log" "D:\Sounds\ding.wav")"
    "\r\n"
    R"("E:\Exchange\Out" "" "-" "*.txt" "0" "" "")"
    "\r\n";

const std::string ExampleEcho =
    "Path = D:\\Incoming| Alias = Mail drop\n"
    "Kind = *| Mask  = *.*\n"
    "Attrib = 0| Log = D:\\Logs\\incoming.log| Wav = D:\\Sounds\\ding.wav\n"
    "Path = E:\\Exchange\\Out| Alias = \n"
    "Kind = -| Mask  = *.txt\n"
    "Attrib = 0| Log = | Wav = \n";

} // namespace

// Each variant reads as the example, which is also how it is saved: the line ends, white space,
// text around the fields and bad lines (skipped) do not matter.
TEST_F(ConfigFixture, WhiteSpaceStrayTextAndBadLinesReadAsThePlainFile) {
    const std::string header = "*\n*\n*\n";
    const std::string first =
        R"("D:\Incoming" "Mail drop" "*" "*.*" "0" "D:\Logs\incoming.log" "D:\Sounds\ding.wav")";
    const std::string second = R"("E:\Exchange\Out" "" "-" "*.txt" "0" "" "")";
    const std::vector<std::pair<const char*, std::string>> variants = {
        {"as saved", Example},
        {"LF line ends", header + first + "\n" + second + "\n"},
        {"no line end at the end", header + first + "\r\n" + second},
        {"CR bytes anywhere",
         "*\r\r\n*\n*\n\"D:\\In\rcoming\"\r" + first.substr(13) + "\n" + second + "\r"},
        {"indented, blank lines between",
         "\n \t*\n\n*\n\v\f*\n\n\t  " + first + "\n \n\n\t" + second + "\n\n  \n"},
        {"text between the fields and an eighth field",
         header + "x" + first + " \"eighth\" tail\n" +
             R"(- "E:\Exchange\Out"abc"" "-"  ,  "*.txt" "0" "" "")" + "\n"},
        {"Ctrl-Z ends the file",
         header + first + "\n" + second + "\x1a\n\"Z\" \"\" \"*\" " + "\"*.*\" \"0\" \"\" \"\"\n"},
        {"Ctrl-Z right after the last field", header + first + "\n" + second + "\x1a"},
        {"bad lines between", header + "garbage without quotes\n\"only\" \"three\" \"*\"\n" +
                                  first + "\n\"a\" \"b\" \"*\" \"c\" \"0\" \"d\" \"open\n" +
                                  "\"empty kind\" \"\" \"\" \"*.*\" \"0\" \"\" \"\"\n" + second +
                                  "\n"},
    };
    for (const auto& [name, contents] : variants) {
        SCOPED_TRACE(name);
        EXPECT_EQ(FormatConfiguration(Read(contents)), Example);
        EXPECT_EQ(echo.str(), ExampleEcho);
    }
}

// The reader's own rules, seen in the file written back from what it read and in its echo.
TEST_F(ConfigFixture, KindAndAttribFollowTheReadersRulesAndElevenRecordsAreKept) {
    const auto record = [](int i, const std::string& kind = "*", const std::string& attrib = "0") {
        return "\"/d" + std::to_string(i) + "\" \"\" \"" + kind + "\" \"*.*\" \"" + attrib +
               "\" \"\" \"\"\r\n";
    };
    std::string twelve;
    for (int i = 0; i < 12; ++i)
        twelve += record(i);
    const std::string rules =
        record(0, "*", " +12abc") + record(1, "*", "-5") + record(2, "*", "abc") + record(3, "+x");
    const struct {
        const char* name;
        std::string contents, written;
        long echoed;
    } cases[] = {
        {"Attrib and Kind", Header + rules,
         Header + record(0, "*", "12") + record(1, "*", "-5") + record(2) + record(3, "+"), 4},
        {"more records than the list holds", Header + twelve,
         Header + twelve.substr(0, twelve.find("\"/d11")), 12},
        {"no header: the first three records go", " \t\n" + rules, Header + record(3, "+"), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatConfiguration(Read(c.contents)), c.written);
        EXPECT_EQ(std::ranges::count(echo.str(), '\n'), 3 * c.echoed);
    }
}
