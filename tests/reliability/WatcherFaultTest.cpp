// What the watcher meets around the directories: logs and sounds that can't be used, inotify
// limits, and a peer.cfg with nothing to watch. It must go on, never block, and say what is wrong.
#include "tests/reliability/ChildProcess.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace reliability;
using testing::HasSubstr;
using testsupport::ReadFile;
using testsupport::WriteFile;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// The watcher run by env with its ALSA reading only the configuration given. ALSA gives the
// null device a buffer of about 1.5 GB, which AddressSanitizer would spend seconds poisoning.
std::vector<std::string> WithSoundDevice(const std::string& root, const std::string& device) {
    WriteFile(root + "/asound.conf", "pcm.!default {\n" + device + "\n}\n");
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {"/usr/bin/env", "ALSA_CONFIG_PATH=" + root + "/asound.conf", "CANBERRA_DRIVER=alsa",
            "ASAN_OPTIONS="s + (asan ? asan + ":"s : "") + "poison_heap=0", WATCH_PROGRAM};
}

std::string LittleEndian(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// A WAV of S16_LE stereo at 44.1 kHz.
std::string Wav(const std::string& samples) {
    const auto size = static_cast<std::uint32_t>(samples.size());
    return "RIFF" + LittleEndian(36 + size) + "WAVEfmt " + LittleEndian(16) + "\1\0\2\0"s +
           LittleEndian(44100) + LittleEndian(44100 * 4) + "\4\0\20\0data"s + LittleEndian(size) +
           samples;
}

} // namespace

// A small tmpfs, full, mounted for a test and unmounted at its end (which needs root, as CI is).
struct FullDisk {
    explicit FullDisk(const std::string& at) : path(at) {
        fs::create_directory(path);
        mounted = ChildProcess({"/bin/mount", "-t", "tmpfs", "-o", "size=8k", "tmpfs", path}, {})
                      .Wait(std::chrono::seconds(10)) == 0;
        std::ofstream(path + "/filler") << std::string(8192, 'x');
    }
    ~FullDisk() { ChildProcess({"/bin/umount", "-l", path}, {}).Wait(std::chrono::seconds(10)); }
    std::string path;
    bool mounted = false;
};

// A log that can't take its lines keeps them waiting and says so once; once it can, they go in
// first, each once, and it says so. A line goes to standard output only once it is in its log.
// At the end the lines of the logs that never could go to standard error, with their logs.
TEST(LogFaults, LinesALogCantTakeWaitAndGoInFirstOnceItCan) {
    Watcher tree;
    const std::string root = tree.Root();
    FullDisk disk(root + "/disk");
    ASSERT_TRUE(disk.mounted) << "mounting a tmpfs needs root";
    const struct {
        std::string alias, log;
        std::function<void()> mend; // none: never mended
    } cases[] = {
        {"gone", root + "/away/x.log", [&] { fs::create_directory(root + "/away"); }},
        {"dir", root + "/dir.log", [&] { fs::remove(root + "/dir.log"); }},
        {"full", disk.path + "/full.log", [&] { fs::remove(disk.path + "/filler"); }},
        {"fifo", root + "/fifo.log", {}},
        {"devfull", "/dev/full", {}},
    };
    fs::create_directory(root + "/dir.log");
    ASSERT_EQ(::mkfifo((root + "/fifo.log").c_str(), 0600), 0);
    for (const auto& c : cases)
        tree.Add(c.alias, {.log = c.log});
    ASSERT_TRUE(tree.Start({WATCH_PROGRAM})) << tree.Err();
    // A probe made before the watch began waits for the next change: another is made until the
    // log is said to fail.
    int probes = 0;
    // A watch blocked by one log fails here, well within the test's time-out.
    for (const auto& c : cases) {
        ASSERT_TRUE(testsupport::WaitUntil(
            [&] {
                WriteFile(tree.Path(c.alias) + "/probe" + std::to_string(++probes));
                return testsupport::WaitUntil(
                    [&] { return tree.Err().find("log \"" + c.log + "\": ") != std::string::npos; },
                    std::chrono::milliseconds(500));
            },
            std::chrono::seconds(15)))
            << c.alias << ": " << tree.Err();
    }
    EXPECT_EQ(tree.Out().find(" [+] "), std::string::npos) << "printed before it was in its log";
    for (const auto& c : cases) {
        if (c.mend) {
            c.mend();
            WriteFile(tree.Path(c.alias) + "/late");
        }
    }
    for (const auto& c : cases) {
        if (!c.mend)
            continue;
        // Said last, after the log and standard output took the lines.
        const std::string again = "log \"" + c.log + "\" is written again";
        const auto said = [&] { return tree.Err().find(again) != std::string::npos; };
        EXPECT_TRUE(testsupport::WaitUntil(said)) << c.alias << ": " << tree.Err();
        EXPECT_TRUE(ReadFile(c.log).ends_with("[+] " + c.alias + "\\late\r\n"))
            << c.alias << ": " << ReadFile(c.log);
        EXPECT_EQ(tree.Disagreements(c.alias), "") << c.alias;
        std::string log = ReadFile(c.log);
        std::erase(log, '\r');
        EXPECT_THAT(tree.Out(), HasSubstr(log)) << c.alias;
    }
    EXPECT_EQ(tree.Terminate(), 0);
    for (const auto& c : cases) {
        const std::string err = tree.Err();
        const std::size_t kept = err.find(" could not be written to the log \"" + c.log + "\":\n");
        EXPECT_EQ(kept == std::string::npos, bool(c.mend)) << c.alias << ": " << err;
        if (kept != std::string::npos) {
            EXPECT_NE(err.find(" [+] " + c.alias + "\\probe", kept), std::string::npos);
        }
    }
}

// The per-user inotify limits, lowered for the watcher alone in a user namespace of its own (set
// by unshare and a shell, which run no threads: ThreadSanitizer's runtime runs one): the
// directory beyond the limit is not watched, the others are, and the watcher says which
// directory and which limit, and how to raise it.
TEST(InotifyLimits, TheDirectoryBeyondALimitIsLeftOutAndNamed) {
    for (const std::string limit : {"instances", "watches"}) {
        Watcher tree;
        for (const char* alias : {"a", "b", "c"})
            tree.Add(alias);
        // A directory takes one watch for itself and one for each ancestor.
        const std::string path = tree.Path("a");
        const long perDirectory = 1 + std::count(path.begin(), path.end(), '/');
        const long value = limit == "instances" ? 2 : 2 * perDirectory;
        const std::string script = "echo " + std::to_string(value) +
                                   " >/proc/sys/user/max_inotify_" + limit + " && exec \"$0\"";
        ASSERT_TRUE(tree.Start({"/usr/bin/unshare", "--user", "--map-root-user", "/bin/sh", "-c",
                                script, WATCH_PROGRAM}))
            << tree.Err();
        ASSERT_TRUE(tree.Settle({"a", "b"})) << tree.Err();
        WriteFile(tree.Path("c") + "/unseen");
        EXPECT_TRUE(tree.Settle({"a", "b"}));
        EXPECT_EQ(tree.Terminate(), 0);
        EXPECT_FALSE(fs::exists(tree.Log("c")));
        EXPECT_THAT(tree.Err(), HasSubstr("not watching \"" + tree.Path("c") + "\""));
        EXPECT_THAT(tree.Err(), HasSubstr("sysctl fs.inotify.max_user_" + limit));
    }
}

TEST(Sounds, AWavIsPlayedSampleForSample) {
    Watcher tree;
    // No sample is zero.
    std::string samples;
    for (int i = 0; i < 44100; ++i)
        samples += static_cast<char>(1 + i * 37 % 250);
    WriteFile(tree.Root() + "/ding.wav", Wav(samples));
    tree.Add("ding", {.wav = tree.Root() + "/ding.wav"});
    // ALSA's default device writes what is played to the file and discards it.
    const std::string capture = tree.Root() + "/capture.raw";
    ASSERT_TRUE(
        tree.Start(WithSoundDevice(tree.Root(), "type file\nslave.pcm { type null }\nfile \"" +
                                                    capture + "\"\nformat \"raw\"")));
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
        Watcher tree;
        const std::string sounds = tree.Root() + "/sounds";
        fs::create_directory(sounds);
        WriteFile(sounds + "/corrupt.wav", "RIFF\x10\0\0\0WAVEfmt no sound at all");
        ASSERT_EQ(::mkfifo((sounds + "/fifo.wav").c_str(), 0600), 0);
        fs::create_directory(sounds + "/directory.wav");
        for (const char* alias : {"missing", "corrupt", "fifo", "directory"})
            tree.Add(alias, {.wav = sounds + "/" + alias + ".wav"});
        ASSERT_TRUE(tree.Start(WithSoundDevice(tree.Root(), device)));
        for (int round = 0; round < 3; ++round)
            ASSERT_TRUE(tree.Settle(tree.Aliases())) << device << ", round " << round;
        EXPECT_EQ(tree.Terminate(), 0) << device;
    }
}

// With nothing to watch the watcher ends at once and tells a new user what to write where; the
// example it shows is a record it reads.
TEST(NothingToWatch, TheWatcherEndsNamingTheFileAndShowingARecord) {
    const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
        {"a header only", [](const std::string& cfg) { WriteFile(cfg, "***\r\n***\r\n***\r\n"); }},
        {"a FIFO without writer", [](const std::string& cfg) { ::mkfifo(cfg.c_str(), 0600); }},
        {"no peer.cfg", [](const std::string&) {}},
    };
    for (const auto& [name, make] : cases) {
        testsupport::TempDir dir;
        make(dir / "peer.cfg");
        const std::optional<int> status =
            ChildProcess({WATCH_PROGRAM}, {dir.str()}).Wait(std::chrono::seconds(10));
        ASSERT_TRUE(status.has_value()) << name << ": still running";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << name << ": " << *status;
        const std::string err = ReadFile(dir / "err.txt");
        EXPECT_THAT(err, HasSubstr(dir / "peer.cfg")) << name;
        if (fs::exists(dir / "peer.cfg"))
            continue;
        WriteFile(dir / "peer.cfg", err.substr(std::min(err.find("\n***"), err.size() - 1) + 1));
        ChildProcess watcher({WATCH_PROGRAM}, {dir.str()});
        EXPECT_TRUE(testsupport::WaitUntil([&] {
            return ReadFile(dir / "out.txt").find("Path = ") != std::string::npos;
        })) << err;
    }
}
