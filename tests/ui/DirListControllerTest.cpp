// The list commands run on the controller against the real watch and a real peer.cfg in a
// temporary working directory, with the user's answers given in advance.
#include "ui/DirListController.h"
#include "tests/support/RecordingSoundPlayer.h"
#include "tests/ui/Workspace.h"
#include "ui/Commands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <utility>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// Answers every question as told beforehand and keeps what was shown.
class ScriptedPrompts : public UserPrompts {
public:
    bool Confirm(const std::string& text) override {
        shown.push_back("Confirm: " + text);
        return true;
    }
    void ShowError(const std::string& text, ErrorIcon) override {
        shown.push_back("Error: " + text);
    }
    void ShowInformation(const std::string& text) override {
        shown.push_back("Information: " + text);
    }
    std::optional<std::string> ChooseFile(const FileRequest&) override {
        return std::exchange(nextFile, std::nullopt);
    }
    bool EditDirectory(DirSettings& settings) override {
        return std::exchange(directoryDialog, nullptr)(settings);
    }
    bool ViewLog(const std::string&) override { return true; }

    std::vector<std::string> shown;
    std::optional<std::string> nextFile;               // nothing: the dialog is cancelled
    std::function<bool(DirSettings&)> directoryDialog; // edits the fields; true for OK
};

// The next Directory dialog gets path and alias typed and OK pressed.
std::function<bool(DirSettings&)> TypedIntoDialog(const std::string& path,
                                                  const std::string& alias) {
    return [=](DirSettings& settings) {
        settings.Path = path;
        settings.Alias = alias;
        return true;
    };
}

// peer.cfg as the program writes it for these records.
std::string ConfigText(const std::vector<DirSettings>& records) {
    const uitest::Workspace scratch; // its own working directory until it is gone
    scratch.WriteConfig(records);
    return ReadFile(scratch / "peer.cfg");
}

// Creates files name.1, name.2, ... in the record's directory until its log reports one: a run
// that has just started reports only what happens after it has set up its notifications.
bool Reported(const DirSettings& record, const std::string& name) {
    int created = 0;
    return testsupport::WaitUntil([&] {
        if (ReadFile(record.Log).find(name) != std::string::npos)
            return true;
        WriteFile(record.Path + "/" + name + "." + std::to_string(++created), "x");
        return false;
    });
}

struct ListFixture : ::testing::Test {
    uitest::Workspace space;
    ScriptedPrompts prompts;
    std::ostringstream echo;
    std::unique_ptr<DirListController> list;

    void Start(const std::vector<DirSettings>& records) {
        space.WriteConfig(records);
        list = std::make_unique<DirListController>(
            prompts, echo, std::make_unique<testsupport::RecordingSoundPlayer>());
        list->Create();
    }
    std::set<int> Disabled() const {
        std::set<int> disabled;
        for (int id :
             {CM_EXIT, CM_VIEW, CM_ADD, CM_DELETE, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE, CM_ABOUT})
            if (!list->CommandEnabled(id))
                disabled.insert(id);
        return disabled;
    }
};

} // namespace

TEST_F(ListFixture, CommandsAreEnabledByTheirRules) {
    const std::set<int> needSelection{CM_VIEW, CM_DELETE, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE};
    const struct {
        const char* name;
        int records;
        bool pending;
        bool emptyLog;
        std::set<int> disabled;
    } cases[] = {
        {"empty list", 0, false, false, needSelection},
        {"eight records", 8, false, false, {}},
        {"nine records", 9, false, false, {CM_ADD}},
        {"eight and a pending one", 8, true, false, {CM_ADD, CM_VIEW}},
        {"record without log", 1, false, true, {CM_VIEW}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto records = space.MakeRecords(c.records);
        if (c.emptyLog)
            records[0].Log.clear();
        Start(records);
        if (c.pending)
            list->Command(CM_ADD);
        EXPECT_EQ(Disabled(), c.disabled);
    }
}

TEST_F(ListFixture, ThePendingRecordLivesUntilOptionsGivesItAPath) {
    const std::vector<DirSettings> records = space.MakeRecords(1);
    Start(records);
    std::filesystem::remove(space / "peer.cfg");
    const auto line = [&](int i) { return list->Lines().at(static_cast<std::size_t>(i)); };

    list->Command(CM_ADD);
    EXPECT_EQ(list->Lines().size(), 2u);
    EXPECT_EQ(list->SelectedLine(), 1);
    EXPECT_EQ(line(1), "");
    EXPECT_FALSE(list->CommandEnabled(CM_ADD));

    prompts.nextFile = space / "fresh.log";
    list->Command(CM_LOGFILE);
    WriteFile(space / "ding.wav", "RIFF");
    prompts.nextFile = space / "ding.wav";
    list->Command(CM_WAVFILE);
    prompts.directoryDialog = TypedIntoDialog("", "Fresh"); // no path yet: still pending
    list->Command(CM_OPTIONS);
    EXPECT_EQ(line(1), "");
    EXPECT_FALSE(list->CommandEnabled(CM_ADD));
    EXPECT_TRUE(list->CommandEnabled(CM_VIEW));
    EXPECT_FALSE(std::filesystem::exists(space / "peer.cfg"));

    list->Select(0);
    list->Select(1);
    EXPECT_EQ(list->Current().Alias, "Fresh");
    prompts.directoryDialog = [](DirSettings& settings) { // a refused OK, then Cancel
        settings.Path = "/refused";
        return false;
    };
    list->Command(CM_OPTIONS);
    EXPECT_EQ(list->Current().Path, "");

    const DirSettings fresh{space.MakeDir("fresh"), "Fresh",           '*', "*.*", 0,
                            space / "fresh.log",    space / "ding.wav"};
    WriteFile(fresh.Path + "/before.txt", "x");
    prompts.directoryDialog = TypedIntoDialog(fresh.Path, "Fresh");
    list->Command(CM_OPTIONS);
    EXPECT_EQ(line(1), fresh.Path);
    EXPECT_TRUE(list->CommandEnabled(CM_ADD));
    EXPECT_EQ(ReadFile(space / "peer.cfg"), ConfigText({records[0], fresh}));
    EXPECT_TRUE(Reported(fresh, "after.txt"));
    EXPECT_EQ(ReadFile(fresh.Log).find("before.txt"), std::string::npos);
    EXPECT_TRUE(Reported(records[0], "still-watched.txt"));

    list->Command(CM_DELETE);
    EXPECT_EQ(list->Lines(), std::vector<std::string>{records[0].Path});
    EXPECT_EQ(list->SelectedLine(), 0);
    EXPECT_EQ(ReadFile(space / "peer.cfg"), ConfigText({records[0]}));
    EXPECT_TRUE(prompts.shown.size() == 1 && prompts.shown[0].starts_with("Confirm: "));
}

// A peer.cfg that can't be replaced (here a folder in its place) fails every save.
TEST_F(ListFixture, AFailedSaveIsReportedAndTheChangeHoldsInMemory) {
    std::filesystem::create_directory(space / "peer.cfg");
    Start({});
    const DirSettings added{space.MakeDir("added"), "", '*', "*.*", 0, space / "added.log", ""};
    list->Command(CM_ADD);
    prompts.directoryDialog = TypedIntoDialog(added.Path, "");
    list->Command(CM_OPTIONS);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].find("Error: "), std::string::npos);
    EXPECT_NE(prompts.shown[0].find(space / "peer.cfg"), std::string::npos);
    EXPECT_NE(prompts.shown[0].find(std::strerror(EISDIR)), std::string::npos);
    EXPECT_EQ(list->Lines(), std::vector<std::string>{added.Path});

    prompts.nextFile = added.Log;
    list->Command(CM_LOGFILE);
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(Reported(added, "watched.txt"));
}
