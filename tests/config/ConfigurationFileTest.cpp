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

const std::string ExampleRecords = "D:\\Incoming|Mail drop|*|*.*|0|D:\\Logs\\incoming.log|"
                                   "D:\\Sounds\\ding.wav\n"
                                   "E:\\Exchange\\Out||-|*.txt|0||\n";

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

    const DirArray read = Read(Example);
    EXPECT_EQ(Describe(read), ExampleRecords);
    EXPECT_EQ(echo.str(), ExampleEcho);
    ASSERT_EQ(WriteConfiguration(read, dir / "again.cfg"), 0);
    EXPECT_EQ(testsupport::ReadFile(dir / "again.cfg"), Example);
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
        EXPECT_EQ(Describe(Read(contents)), ExampleRecords);
        EXPECT_EQ(echo.str(), ExampleEcho);
    }
}
