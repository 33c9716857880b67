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
// text around the fields and bad lines (skipped and named by their line in the file) do not
// matter.
TEST_F(ConfigFixture, WhiteSpaceStrayTextAndBadLinesReadAsThePlainFile) {
    const std::string header = "*\n*\n*\n";
    const std::string first =
        R"("D:\Incoming" "Mail drop" "*" "*.*" "0" "D:\Logs\incoming.log" "D:\Sounds\ding.wav")";
    const std::string second = R"("E:\Exchange\Out" "" "-" "*.txt" "0" "" "")";
    const struct {
        const char* name;
        std::string contents;
        std::string skipped = {};
    } variants[] = {
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
        {"bad lines between",
         header + "\n \t\ngarbage without quotes\n\"only\" \"three\" \"*\"\r\r\n" + first +
             "\n\n\"a\" \"b\" \"*\" \"c\" \"0\" \"d\" \"open\n" +
             "\v\"empty kind\" \"\" \"\" \"*.*\" \"0\" \"\" \"\"\n" + second + "\n",
         "line 6 (no quoted field, seven needed): garbage without quotes\n"
         "line 7 (three quoted fields, seven needed): \"only\" \"three\" \"*\"\n"
         "line 10 (six quoted fields, seven needed; a quote is not closed): "
         "\"a\" \"b\" \"*\" \"c\" \"0\" \"d\" \"open\n"
         "line 11 (Kind is empty): \"empty kind\" \"\" \"\" \"*.*\" \"0\" \"\" \"\"\n"},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.name);
        EXPECT_EQ(FormatConfiguration(Read(v.contents)), Example);
        EXPECT_EQ(echo.str(), ExampleEcho);
        EXPECT_EQ(skipped, v.skipped);
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
    // A skipped record line as the reader names it.
    const auto skip = [&](int line, const std::string& reason, const std::string& recordLine) {
        return "line " + std::to_string(line) + " (" + reason +
               "): " + recordLine.substr(0, recordLine.size() - 2) + "\n";
    };
    const std::string header = "read as one of the three header lines";
    const struct {
        const char* name;
        std::string contents, written;
        long echoed;
        std::string skipped;
    } cases[] = {
        {"Attrib and Kind", Header + rules,
         Header + record(0, "*", "12") + record(1, "*", "-5") + record(2) + record(3, "+"), 4, ""},
        {"more records than the list holds", Header + twelve,
         Header + twelve.substr(0, twelve.find("\"/d11")), 12,
         skip(15, "the list holds 11 records already", record(11))},
        {"no header: the first three records go", " \t\n" + rules, Header + record(3, "+"), 1,
         skip(2, header, record(0, "*", " +12abc")) + skip(3, header, record(1, "*", "-5")) +
             skip(4, header, record(2, "*", "abc"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatConfiguration(Read(c.contents)), c.written);
        EXPECT_EQ(std::ranges::count(echo.str(), '\n'), 3 * c.echoed);
        EXPECT_EQ(skipped, c.skipped);
    }
}
