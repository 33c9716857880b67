#include "engine/MyDir.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/watch/DirWatchFixture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <set>

using namespace enginetest;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// One random change of the kind people and programs make in a watched directory.
void RandomChange(const std::string& dir, std::mt19937& random) {
    static const char* const names[] = {"a.txt", "A.txt", "a.TXT", "b.log", ".hidden",
                                        "c",     "sub",   "Sub",   "pipe",  "link"};
    const auto pick = [&] { return dir + '/' + names[random() % std::size(names)]; };
    std::error_code ignored;
    const std::string target = pick();
    switch (random() % 7) {
    case 0:
    case 1: // Opening a FIFO for writing would wait for a reader.
        if (!fs::exists(target, ignored) || fs::is_regular_file(target, ignored))
            WriteFile(target, "x");
        break;
    case 2:
        fs::remove(target, ignored);
        break;
    case 3:
    case 4:
        fs::rename(target, pick(), ignored);
        break;
    case 5:
        fs::create_directory(target, ignored);
        break;
    default:
        if (random() % 2 != 0)
            mkfifo(target.c_str(), 0600);
        else
            fs::create_directory_symlink("sub", target, ignored);
    }
}

} // namespace

TEST(IncrementalRescan, ReportsWhatAFullListingReportsOverRandomChanges) {
    watchtest::Watched w;
    w.Watch(w.dir);
    w.Take();
    const std::pair<const char*, std::int32_t> filters[] = {
        {"*.*", 0}, {"*.txt", 0x02}, {"*", 0x16}, {"?*", 0x10}, {"*.*", 0x08}};
    std::vector<MyDir> full, incremental;
    for (const auto& [mask, attrib] : filters) {
        full.emplace_back(DirSettings{w.dir, "", '*', mask, attrib, "", ""});
        incremental.push_back(full.back());
    }
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        const int changes = std::uniform_int_distribution<>(1, 4)(random);
        for (int i = 0; i < changes; ++i)
            RandomChange(w.dir, random);
        w.Due();
        const platform::ChangeSet changeSet = w.Take();
        ASSERT_FALSE(changeSet.listing);
        for (std::size_t f = 0; f < std::size(filters); ++f) {
            full[f].Rescan();
            // Now and then a whole listing, whose links the passes over names look at again.
            if (round % 10 == 0)
                incremental[f].Rescan();
            else
                incremental[f].Rescan(round % 10 == 5 ? Listed(incremental[f]) : changeSet);
            SCOPED_TRACE("round " + std::to_string(round) + " mask " + filters[f].first);
            ASSERT_EQ(Sorted(Added(incremental[f])), Sorted(Added(full[f])));
            ASSERT_EQ(Sorted(Removed(incremental[f])), Sorted(Removed(full[f])));
            ASSERT_EQ(incremental[f].Files().size(), full[f].Files().size());
        }
    }
}

// A listing that fails (here for want of a file descriptor) reports every name gone; the next
// pass must list the whole directory again, even when the notification named only the change
// since.
TEST(IncrementalRescan, APassAfterAFailedListingListsTheWholeDirectory) {
    TempDir tmp;
    WriteFile(tmp / "a");
    MyDir record({tmp.str(), "", '*', "*.*", 0, "", ""});
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const rlimit none{0, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    record.Rescan();
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(Removed(record), std::vector<std::string>{"a"});
    WriteFile(tmp / "g");
    record.Rescan(platform::ChangeSet{.names = {"g"}});
    EXPECT_EQ(Sorted(Added(record)), (std::vector<std::string>{"a", "g"}));
}
