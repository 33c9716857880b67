#include "tests/config/ConfigFixture.h"

#include <cerrno>
#include <climits>
#include <filesystem>
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

std::string RecordLine(const std::string& path, const std::string& attrib = "0") {
    return "\"" + path + "\" \"\" \"*\" \"*.*\" \"" + attrib + "\" \"\" \"\"\r\n";
}

std::size_t CountLines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST_F(ConfigFixture, AnEmptyListIsSavedAsTheThreeHeaderLinesAlone) {
    ASSERT_EQ(WriteConfiguration(DirArray(), file), 0);
    EXPECT_EQ(testsupport::ReadFile(file), Header);
    EXPECT_EQ(std::filesystem::file_size(file), 120u);
}

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

TEST_F(ConfigFixture, LineEndsWhiteSpaceAndTextAroundTheFieldsReadAsThePlainFile) {
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
    };
    for (const auto& [name, contents] : variants) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Describe(Read(contents)), ExampleRecords);
        EXPECT_EQ(echo.str(), ExampleEcho);
    }
}

TEST_F(ConfigFixture, FieldsAreTakenAsWrittenBetweenTheirQuotes) {
    const DirArray dirs =
        Read(Header + "\"  /srv/in box  \" \" a \" \"+x\" \" *.txt\" \"16\" \"\" \"\"\n"
                      "\"\" \"\" \"-\" \"*.*\" \"0\" \"\" \"\"\n"
                      "\"/data/\xe9t\xe9\" \"\xff\x80\" \"x\" \"*\" \"0\" \"l\" \"w\"\n");
    EXPECT_EQ(Describe(dirs), "  /srv/in box  | a |+| *.txt|16||\n"
                              "||-|*.*|0||\n"
                              "/data/\xe9t\xe9|\xff\x80|x|*|0|l|w\n");
}

TEST_F(ConfigFixture, AttribIsConvertedLikeAnUncheckedDecimalConversion) {
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {" 12abc", 12},
        {"", 0},
        {"abc", 0},
        {"-5", -5},
        {"+7", 7},
        {"\t 16", 16},
        {"- 5", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},
        {"4294967295", -1},
        {"4294967296", 0},
        {"-2147483648", INT32_MIN},
        {"99999999999999999999", 1661992959},
        {std::string(100000, '9'),
         [] {
             std::uint32_t v = 0;
             for (int i = 0; i < 100000; ++i)
                 v = v * 10u + 9u;
             return static_cast<std::int32_t>(v);
         }()},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        const DirArray dirs = Read(Header + RecordLine("p", text));
        EXPECT_EQ(Describe(dirs), "p||*|*.*|" + std::to_string(value) + "||\n");
    }
    const DirArray negative = Read(Header + RecordLine("p", "-5"));
    ASSERT_EQ(WriteConfiguration(negative, file), 0);
    EXPECT_EQ(testsupport::ReadFile(file), Header + RecordLine("p", "-5"));
}

TEST_F(ConfigFixture, FilesWithoutRecordLinesGiveAnEmptyList) {
    for (const std::string& contents :
         {std::string(), std::string("*\r\n*\r\n"), Header, Header + " \t\n\n"}) {
        EXPECT_EQ(Read(contents).Count(), 0u);
        EXPECT_EQ(last.error, 0);
        EXPECT_EQ(echo.str(), "");
    }
}

TEST_F(ConfigFixture, AMissingOrUnreadableFileLeavesTheListUntouched) {
    DirArray dirs;
    dirs.Add(MyDir("kept", "", '*', "*.*", 0, "", ""));
    EXPECT_EQ(ReadConfiguration(dirs, dir / "missing.cfg", echo).error, ENOENT);
    std::filesystem::create_directory(file);
    EXPECT_EQ(ReadConfiguration(dirs, file, echo).error, EISDIR);
    EXPECT_EQ(Describe(dirs), "kept||*|*.*|0||\n");
    EXPECT_EQ(echo.str(), "");
}

TEST_F(ConfigFixture, AFileWithoutHeaderLosesItsFirstThreeRecords) {
    std::string contents;
    for (const char* path : {"a", "b", "c", "d", "e"})
        contents += RecordLine(path);
    EXPECT_EQ(Describe(Read(contents)), "d||*|*.*|0||\ne||*|*.*|0||\n");
}

TEST_F(ConfigFixture, BadLinesAreSkippedAndTheGoodLinesAroundThemAreRead) {
    const DirArray dirs =
        Read(Header + RecordLine("before") + "garbage without quotes\n" +
             "\"only\" \"three\" \"*\"\n" + "\"a\" \"b\" \"*\" \"c\" \"0\" \"d\" \"open\n" +
             "\"empty kind\" \"\" \"\" \"*.*\" \"0\" \"\" \"\"\n" + RecordLine("after"));
    EXPECT_EQ(Describe(dirs), "before||*|*.*|0||\nafter||*|*.*|0||\n");
    EXPECT_EQ(last.skipped, 4u);
    EXPECT_EQ(last.records, 2u);
    EXPECT_EQ(CountLines(echo.str()), 6u);
}

TEST_F(ConfigFixture, RecordsBeyondTheListsCapacityAreDroppedButStillEchoed) {
    std::string contents = Header;
    std::string expected;
    for (int i = 0; i < 13; ++i) {
        contents += RecordLine("dir" + std::to_string(i));
        if (i < static_cast<int>(DirArray::Capacity))
            expected += "dir" + std::to_string(i) + "||*|*.*|0||\n";
    }
    EXPECT_EQ(Describe(Read(contents)), expected);
    EXPECT_EQ(last.dropped, 2u);
    EXPECT_EQ(CountLines(echo.str()), 13u * 3u);
    EXPECT_NE(echo.str().find("Path = dir12| Alias = \n"), std::string::npos);
}

TEST_F(ConfigFixture, AVeryLongLineIsReadWhole) {
    const std::string path(4 * 1024 * 1024 + 3, 'p');
    const DirArray dirs = Read(Header + RecordLine(path) + RecordLine("next"));
    ASSERT_EQ(dirs.Count(), 2u);
    EXPECT_EQ(dirs[0].Path(), path);
    EXPECT_EQ(dirs[1].Path(), "next");
}
