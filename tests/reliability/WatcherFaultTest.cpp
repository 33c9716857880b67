// What the watcher meets around the directories: logs and sounds that can't be used, inotify
// limits, and a peer.cfg with nothing to watch. It must go on, never block, never leave a broken
// line, and say what is wrong.
#include "tests/reliability/ChildProcess.h"

#include <gmock/gmock.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace reliability;
using testing::HasSubstr;
using testsupport::ReadFile;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// The watcher's ALSA reads only the configuration given. ALSA gives the null device a buffer of
// about 1.5 GB, which AddressSanitizer would spend seconds poisoning.
ChildProcess::Options SoundDevice(const std::string& root, const std::string& device) {
    WriteFile(root + "/asound.conf", "pcm.!default {\n" + device + "\n}\n");
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {.environment = {"ALSA_CONFIG_PATH=" + root + "/asound.conf", "CANBERRA_DRIVER=alsa",
                            std::string("ASAN_OPTIONS=") + (asan ? asan : "") + (asan ? ":" : "") +
                                "poison_heap=0"}};
}

// ALSA's default device writes what is played to the file and discards it.
std::string CaptureDevice(const std::string& file) {
    return "type file\nslave.pcm { type null }\nfile \"" + file + "\"\nformat \"raw\"";
}

void AppendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

// A WAV of a quarter of a second of S16_LE stereo at 44.1 kHz in which no sample is zero.
std::string Wav(std::string& samples) {
    constexpr std::uint32_t rate = 44100;
    for (std::uint32_t frame = 0; frame < rate / 4; ++frame) {
        AppendLittleEndian(samples, 1 + frame * 37 % 30000, 2);
        AppendLittleEndian(samples, 65535 - frame * 53 % 30000, 2);
    }
    std::string wav = "RIFF";
    AppendLittleEndian(wav, 36 + static_cast<std::uint32_t>(samples.size()), 4);
    wav += "WAVEfmt ";
    for (const auto& [value, bytes] :
         {std::pair{16u, 4}, {1u, 2}, {2u, 2}, {rate, 4}, {rate * 4, 4}, {4u, 2}, {16u, 2}})
        AppendLittleEndian(wav, value, bytes);
    wav += "data";
    AppendLittleEndian(wav, static_cast<std::uint32_t>(samples.size()), 4);
    return wav + samples;
}

// Two lines of the directory labelled alias, "+" then "-" of one name, together size bytes.
std::string PaddingLines(const std::string& alias, std::size_t size) {
    const std::string stamp = "2001.01.01 00:00";
    const std::size_t frame = stamp.size() + 5 + alias.size() + 1 + 2;
    const std::string name((size - 2 * frame) / 2, 'p');
    return stamp + " [+] " + alias + "\\" + name + "\r\n" + stamp + " [-] " + alias + "\\" + name +
           "\r\n";
}

} // namespace

TEST(LogFaults, LogsThatCannotBeWrittenLoseTheirLinesButTheWatchGoesOnAndNeverBlocks) {
    Watcher tree(WATCH_PROGRAM);
    const std::string logs = tree.Root() + "/logs";
    ASSERT_EQ(::mkfifo((logs + "/fifo.log").c_str(), 0600), 0);
    fs::create_directory(logs + "/isdir.log");
    fs::create_directory(tree.Root() + "/elsewhere");
    fs::create_symlink(tree.Root() + "/elsewhere/real.log", logs + "/link.log");
    for (const char* alias : {"fifo", "isdir", "link", "good"})
        tree.Add(alias);
    tree.Add("missing", {.log = tree.Root() + "/no-such-folder/missing.log"});
    tree.Add("devfull", {.log = "/dev/full"});
    ASSERT_TRUE(tree.Start() && tree.Settle(tree.Aliases())) << "nothing blocked\n" << tree.Err();
    EXPECT_EQ(tree.Terminate(), 0);

    for (const char* alias : {"link", "good"}) {
        const testsupport::Replay replay = tree.Check(alias);
        EXPECT_TRUE(replay.Agrees() && replay.added > 0) << alias << ":\n" << replay.Describe();
    }
    EXPECT_TRUE(fs::is_symlink(logs + "/link.log"));
    EXPECT_EQ(fs::status(logs + "/fifo.log").type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_directory(logs + "/isdir.log"));
    EXPECT_FALSE(fs::exists(tree.Root() + "/no-such-folder"));
}

// A file-size limit makes the write fail part-way, as a full disk does.
TEST(LogFaults, ALogOnAFullDiskKeepsWholeLinesOnly) {
    constexpr long limit = 64 * 1024;
    Watcher tree(WATCH_PROGRAM);
    const std::string log = tree.Root() + "/full.log";
    // 30 bytes are left below the limit: a line fits only in part.
    WriteFile(log, PaddingLines("full", limit - 30));
    const std::string full = tree.Add("full", {.log = log});
    ASSERT_TRUE(tree.Start({.fileSizeLimit = limit}) && tree.Settle({"full"})) << tree.Err();
    WriteFile(full + "/a-name-longer-than-what-is-left");
    ASSERT_TRUE(tree.Settle({"full"}));

    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    ASSERT_EQ(::prlimit(tree.Process().Pid(), RLIMIT_FSIZE, &unlimited, nullptr), 0);
    WriteFile(full + "/after");
    ASSERT_TRUE(tree.Settle({"full"}));
    EXPECT_EQ(tree.Terminate(), 0);
    const testsupport::Replay replay = testsupport::ReplayLog(ReadFile(log), "full", {});
    EXPECT_TRUE(replay.Agrees()) << replay.Describe();
    EXPECT_THAT(ReadFile(log), HasSubstr(" [+] full\\after\r\n"));
}

// The per-user inotify limits, lowered for the watcher alone in a user namespace of its own:
// the directory beyond the limit is not watched, the others are, and the watcher says which
// directory and which limit, and how to raise it.
TEST(InotifyLimits, TheDirectoryBeyondALimitIsLeftOutAndNamed) {
    if (!CanLimitInotify())
        GTEST_SKIP() << "this system gives a process no user namespace of its own";
    for (const char* limit : {"instances", "watches"}) {
        Watcher tree(WATCH_PROGRAM);
        for (const char* alias : {"a", "b", "c"})
            tree.Add(alias);
        // A directory takes one watch for itself and one for each ancestor.
        const std::string path = tree.Path("a");
        const long perDirectory = 1 + std::count(path.begin(), path.end(), '/');
        ASSERT_TRUE(tree.Start(limit == std::string("instances")
                                   ? ChildProcess::Options{.inotifyInstances = 2}
                                   : ChildProcess::Options{.inotifyWatches = 2 * perDirectory}));
        EXPECT_TRUE(tree.Settle({"a", "b"})) << tree.Err();
        WriteFile(tree.Path("c") + "/unseen");
        EXPECT_TRUE(tree.Settle({"a", "b"}));
        EXPECT_EQ(tree.Terminate(), 0);
        EXPECT_FALSE(fs::exists(tree.Log("c")));
        EXPECT_THAT(tree.Err(), HasSubstr("not watching \"" + tree.Path("c") + "\""));
        EXPECT_THAT(tree.Err(), HasSubstr(std::string("sysctl fs.inotify.max_user_") + limit));
    }
}

TEST(Sounds, AWavIsPlayedSampleForSample) {
    Watcher tree(WATCH_PROGRAM);
    std::string samples;
    WriteFile(tree.Root() + "/ding.wav", Wav(samples));
    tree.Add("ding", {.wav = tree.Root() + "/ding.wav"});
    const std::string capture = tree.Root() + "/capture.raw";
    ASSERT_TRUE(tree.Start(SoundDevice(tree.Root(), CaptureDevice(capture))));
    // A file every second until one is reported: the sounds never overlap.
    int polls = 0;
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] {
            if (polls++ % 200 == 0)
                WriteFile(tree.Path("ding") + "/arrived" + std::to_string(polls));
            return ReadFile(capture).find(samples) != std::string::npos;
        },
        std::chrono::seconds(30)))
        << "captured " << ReadFile(capture).size() << " bytes";
    EXPECT_EQ(tree.Terminate(), 0);
    EXPECT_EQ(tree.Err(), "");
}

// Sounds that can't be played, with and without a sound device: the watcher plays them after
// every reporting pass and must neither block nor end.
TEST(Sounds, NoSoundBlocksTheWatch) {
    for (const char* device : {"type null", "type hw card \"nosuch\""}) {
        Watcher tree(WATCH_PROGRAM);
        const std::string sounds = tree.Root() + "/sounds";
        fs::create_directory(sounds);
        WriteFile(sounds + "/corrupt.wav", "RIFF\x10\0\0\0WAVEfmt no sound at all");
        ASSERT_EQ(::mkfifo((sounds + "/fifo.wav").c_str(), 0600), 0);
        fs::create_directory(sounds + "/directory.wav");
        for (const char* alias : {"missing", "corrupt", "fifo", "directory"})
            tree.Add(alias, {.wav = sounds + "/" + alias + ".wav"});
        ASSERT_TRUE(tree.Start(SoundDevice(tree.Root(), device)));
        for (int round = 0; round < 3; ++round)
            EXPECT_TRUE(tree.Settle(tree.Aliases())) << device << ", round " << round;
        EXPECT_EQ(tree.Terminate(), 0) << device;
        for (const std::string& alias : tree.Aliases())
            EXPECT_TRUE(tree.Check(alias).Agrees()) << device << ": " << alias;
    }
}

// With nothing to watch the watcher ends at once and tells a new user what to write where.
TEST(NothingToWatch, TheWatcherEndsNamingTheFileAndShowingARecord) {
    const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
        {"no peer.cfg", [](const std::string&) {}},
        {"a header only", [](const std::string& cfg) { WriteFile(cfg, "***\r\n***\r\n***\r\n"); }},
        {"a FIFO without writer", [](const std::string& cfg) { ::mkfifo(cfg.c_str(), 0600); }},
    };
    for (const auto& [name, make] : cases) {
        testsupport::TempDir dir;
        make(dir / "peer.cfg");
        ChildProcess watcher(
            {WATCH_PROGRAM},
            {.workingDirectory = dir.str(), .stdoutPath = dir / "out", .stderrPath = dir / "err"});
        const std::optional<int> status = watcher.Wait(std::chrono::seconds(10));
        ASSERT_TRUE(status.has_value()) << name << ": still running";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << name << ": " << *status;
        EXPECT_THAT(ReadFile(dir / "err"), HasSubstr(dir / "peer.cfg")) << name;
    }

    // The example, written as it is shown, is a record the watcher reads.
    testsupport::TempDir dir;
    ChildProcess({WATCH_PROGRAM}, {.workingDirectory = dir.str(), .stderrPath = dir / "err"})
        .Wait(std::chrono::seconds(10));
    const std::string err = ReadFile(dir / "err");
    const std::size_t example = err.find("\n***");
    ASSERT_NE(example, std::string::npos) << err;
    WriteFile(dir / "peer.cfg", err.substr(example + 1));
    ChildProcess watcher({WATCH_PROGRAM},
                         {.workingDirectory = dir.str(), .stdoutPath = dir / "out"});
    EXPECT_TRUE(testsupport::WaitUntil([&] {
        return ReadFile(dir / "out").find("Path = ") != std::string::npos;
    })) << err;
}
