#include "engine/MyDir.h"
#include "platform/DirSearch.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace enginetest;
using testsupport::TempDir;
using testsupport::WriteFile;
using Names = std::vector<std::string>;

namespace {

Names Listing(const TempDir& dir) {
    Names names;
    platform::SearchDirectory(dir / "*.*", 0,
                              [&](std::string_view name) { names.emplace_back(name); });
    return names;
}

void Remove(const std::string& path) {
    std::filesystem::remove(path);
}

} // namespace

TEST(MyDirRecord, ADefaultRecordHasTheDefaultsAndAnEmptySnapshot) {
    MyDir dir;
    std::string path = "x", alias = "x", mask, log = "x", wav = "x";
    char kind = 0;
    std::int32_t attrib = -1;
    dir.Get(path, alias, kind, mask, attrib, log, wav);
    EXPECT_EQ(path, "");
    EXPECT_EQ(alias, "");
    EXPECT_EQ(kind, '*');
    EXPECT_EQ(mask, "*.*");
    EXPECT_EQ(attrib, 0);
    EXPECT_EQ(log, "");
    EXPECT_EQ(wav, "");
    EXPECT_TRUE(dir.Files().empty());
}

TEST(MyDirBaseline, FilesPresentAtConstructionAreNeverReported) {
    TempDir tmp;
    WriteFile(tmp / "a.txt");
    WriteFile(tmp / "b.txt");
    MyDir dir = Watch(tmp);
    EXPECT_EQ(dir.Files().size(), 2u);
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{});
    EXPECT_EQ(Removed(dir), Names{});
}

TEST(MyDirBaseline, SetWithUnchangedSettingsStillTakesANewBaseline) {
    TempDir tmp;
    WriteFile(tmp / "old.txt");
    MyDir dir = Watch(tmp, '*', "*.txt", 0, "log", "alias");
    WriteFile(tmp / "new.txt");
    Remove(tmp / "old.txt");
    dir.Set(tmp.str(), "alias", '*', "*.txt", 0, "log", "");
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{});
    EXPECT_EQ(Removed(dir), Names{});
    EXPECT_EQ(dir.Files().size(), 1u);
}

TEST(MyDirScan, AddedNamesComeInListingOrderAndRemovedNamesInFirstSeenOrder) {
    TempDir tmp;
    MyDir dir = Watch(tmp);
    for (int i = 0; i < 30; ++i)
        WriteFile(tmp / ("f" + std::to_string(i)));
    dir.Rescan();
    const Names firstSeen = Listing(tmp);
    EXPECT_EQ(Added(dir), firstSeen);

    Names gone;
    for (int i = 29; i >= 0; i -= 3)
        Remove(tmp / ("f" + std::to_string(i)));
    std::copy_if(firstSeen.begin(), firstSeen.end(), std::back_inserter(gone),
                 [&](const std::string& name) { return !std::filesystem::exists(tmp / name); });
    dir.Rescan();
    EXPECT_EQ(Removed(dir), gone);
    EXPECT_EQ(Added(dir), Names{});
}

TEST(MyDirScan, ANameFoundGoneIsReportedOnceAndAsAddedWhenItReturns) {
    TempDir tmp;
    WriteFile(tmp / "a");
    MyDir dir = Watch(tmp);
    Remove(tmp / "a");
    dir.Rescan();
    EXPECT_EQ(Removed(dir), Names{"a"});
    dir.Rescan();
    EXPECT_EQ(Removed(dir), Names{});
    EXPECT_EQ(dir.Files().Find("a"), nullptr);
    WriteFile(tmp / "a");
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{"a"});
}

TEST(MyDirScan, ChangesThatCancelOutBetweenTwoScansAreNotReported) {
    TempDir tmp;
    WriteFile(tmp / "kept");
    MyDir dir = Watch(tmp);
    WriteFile(tmp / "brief");
    Remove(tmp / "brief");
    Remove(tmp / "kept");
    WriteFile(tmp / "kept");
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{});
    EXPECT_EQ(Removed(dir), Names{});
    EXPECT_EQ(dir.Files().Find("kept")->State, '=');
}

TEST(MyDirScan, ACaseOnlyRenameReportsTheOldNameGoneAndTheNewNameAdded) {
    TempDir tmp;
    WriteFile(tmp / "Report.txt");
    MyDir dir = Watch(tmp);
    std::filesystem::rename(tmp / "Report.txt", tmp / "report.txt");
    if (!testsupport::HasEntryNamed(tmp.str(), "report.txt"))
        GTEST_SKIP() << "this file system does not rename by case alone (Wine's)";
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{"report.txt"});
    EXPECT_EQ(Removed(dir), Names{"Report.txt"});
}

TEST(MyDirScan, AnUnreachableDirectoryReportsEverythingGoneThenEverythingNew) {
    TempDir tmp;
    const std::string watched = tmp / "watched";
    std::filesystem::create_directory(watched);
    WriteFile(watched + "/a");
    WriteFile(watched + "/b");
    MyDir dir(watched, "", '*', "*.*", 0, "", "");
    std::filesystem::rename(watched, tmp / "away");
    dir.Rescan();
    EXPECT_EQ(Sorted(Removed(dir)), (Names{"a", "b"}));
    std::filesystem::rename(tmp / "away", watched);
    dir.Rescan();
    EXPECT_EQ(Sorted(Added(dir)), (Names{"a", "b"}));
    EXPECT_EQ(Removed(dir), Names{});
}

TEST(MyDirKind, SelectsWhichListsExist) {
    TempDir tmp;
    WriteFile(tmp / "gone");
    MyDir inbound = Watch(tmp, '+');
    MyDir outbound = Watch(tmp, '-');
    MyDir other = Watch(tmp, 'x');
    Remove(tmp / "gone");
    WriteFile(tmp / "new");
    for (MyDir* dir : {&inbound, &outbound, &other})
        dir->Rescan();
    EXPECT_EQ(Added(inbound), Names{"new"});
    EXPECT_EQ(inbound.GetRemoved(), nullptr);
    EXPECT_EQ(inbound.Files().Find("gone")->State, '-');
    EXPECT_EQ(outbound.GetAdded(), nullptr);
    EXPECT_EQ(Removed(outbound), Names{"gone"});
    EXPECT_EQ(Added(other), Names{"new"});
    EXPECT_EQ(Removed(other), Names{"gone"});
}

TEST(MyDirFilter, AnExtensionMaskSeesOnlyItsExtension) {
    TempDir tmp;
    MyDir dir = Watch(tmp, '*', "*.txt");
    WriteFile(tmp / "a.log");
    WriteFile(tmp / "b.TXT");
    WriteFile(tmp / "c");
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{"b.TXT"});
}

TEST(MyDirFilter, DotEntriesBelongToTheBaselineOfTheDirectoryBit) {
    TempDir tmp;
    MyDir dir = Watch(tmp, '*', "*.*", platform::AttrDirectory);
    ASSERT_NE(dir.Files().Find("."), nullptr);
    ASSERT_NE(dir.Files().Find(".."), nullptr);
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{});
    EXPECT_EQ(dir.Files().Find("..")->State, '=');
}

TEST(MyDirCopy, ACopyKeepsTheSnapshotAndGoesItsOwnWay) {
    TempDir tmp;
    WriteFile(tmp / "base");
    MyDir original = Watch(tmp, '*', "*.*", 0, "log", "alias");
    MyDir copy(original);
    std::string path, alias, mask, log, wav;
    char kind = 0;
    std::int32_t attrib = -1;
    copy.Get(path, alias, kind, mask, attrib, log, wav);
    EXPECT_EQ(alias, "alias");
    EXPECT_EQ(log, "log");
    copy.Rescan();
    EXPECT_EQ(Added(copy), Names{});
    WriteFile(tmp / "new");
    copy.Rescan();
    EXPECT_EQ(Added(copy), Names{"new"});
    EXPECT_EQ(original.Files().Find("new"), nullptr);
    original.Rescan();
    EXPECT_EQ(Added(original), Names{"new"});
}
