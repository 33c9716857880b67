#include "tests/config/ConfigFixture.h"

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

TEST_F(ConfigFixture, TheTwoRecordExampleIsWrittenByteForByteAndReadBackTheSame) {
    DirArray dirs;
    dirs.Add(MyDir("D:\\Incoming", "Mail drop", '*', "*.*", 0, "D:\\Logs\\incoming.log",
                   "D:\\Sounds\\ding.wav"));
    dirs.Add(MyDir("E:\\Exchange\\Out", "", '-', "*.txt", 0, "", ""));
    ASSERT_EQ(WriteConfiguration(dirs, file), 0);
    EXPECT_EQ(testsupport::ReadFile(file), Example);
    EXPECT_EQ(Example.size(), 249u);

    EXPECT_EQ(FormatConfiguration(Read(Example)), Example);
    EXPECT_EQ(echo.str(), ExampleEcho);
}

// Each variant reads as the example: the line ends, white space, text around the fields and bad
// lines (skipped) do not matter.
TEST_F(ConfigFixture, WhiteSpaceStrayTextAndBadLinesReadAsThePlainFile) {
    const std::string header = "*\n*\n*\n";
    const std::string first =
        R"("D:\Incoming" "Mail drop" "*" "*.*" "0" "D:\Logs\incoming.log" "D:\Sounds\ding.wav")";
    const std::string second = R"("E:\Exchange\Out" "" "-" "*.txt" "0" "" "")";
    const std::vector<std::pair<const char*, std::string>> variants = {
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

// The reader's own rules, seen in the file written back from what it read.
TEST_F(ConfigFixture, KindAndAttribAreReadByTheirRulesAndTheListKeepsElevenRecords) {
    const auto record = [](int i, const std::string& kind, const std::string& attrib) {
        return "\"/d" + std::to_string(i) + "\" \"\" \"" + kind + "\" \"*.*\" \"" + attrib +
               "\" \"\" \"\"\r\n";
    };
    std::string twelve, eleven;
    for (int i = 0; i < 12; ++i) {
        twelve += record(i, "*", "0");
        eleven += i < 11 ? record(i, "*", "0") : "";
    }
    const struct {
        const char* name;
        std::string contents;
        std::string written;
        std::size_t echoed;
    } cases[] = {
        {"Attrib: digits up to the first other character", Header + record(0, "*", " 12abc"),
         Header + record(0, "*", "12"), 1},
        {"Attrib: a negative number", Header + record(0, "*", "-5"), Header + record(0, "*", "-5"),
         1},
        {"Attrib: letters only", Header + record(0, "*", "abc"), Header + record(0, "*", "0"), 1},
        {"Kind: the first character", Header + record(0, "+x", "0"), Header + record(0, "+", "0"),
         1},
        {"more records than the list holds", Header + twelve, Header + eleven, 12},
        {"no header: the first three records go",
         record(0, "*", "0") + record(1, "*", "0") + record(2, "*", "0") + record(3, "-", "1"),
         Header + record(3, "-", "1"), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatConfiguration(Read(c.contents)), c.written);
        EXPECT_EQ(last.records, c.echoed);
        std::size_t echoed = 0;
        for (std::size_t at = 0; (at = echo.str().find("Path = ", at)) != std::string::npos; ++at)
            ++echoed;
        EXPECT_EQ(echoed, c.echoed);
    }
}
