// A watch that can't start, on POSIX: no descriptor is left for its stop event.
#include "tests/support/RecordingSoundPlayer.h"
#include "tests/ui/Workspace.h"
#include "ui/CommandTable.h"
#include "ui/DirListController.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Says Yes to every question and OK to the Directory dialog; counts the errors shown.
struct YesPrompts : UserPrompts {
    bool Confirm(const std::string&) override { return true; }
    void ShowError(const std::string&, ErrorIcon) override { ++errors; }
    void ShowInformation(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    std::optional<std::string> ChooseFile(const FileRequest&) override { return std::nullopt; }
    bool EditDirectory(DirSettings&) override { return true; }
    bool ViewLog(const std::string&) override { return true; }
    int errors = 0;
};

} // namespace

TEST(WatchStart, AWatchThatCantStartMarksEveryLineUntilItStartsAgain) {
    const uitest::Workspace space;
    space.WriteConfig(space.MakeRecords(2));
    // The list reads peer.cfg through the lowest free descriptor, then its run holds that one
    // and more above it; every descriptor below it is taken.
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    YesPrompts prompts;
    std::ostringstream echo;
    DirListController list(prompts, echo, std::make_unique<testsupport::RecordingSoundPlayer>());
    list.Create();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    list.Command(CM_OPTIONS); // OK on d0: the run stops, and neither save nor start can open
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(prompts.errors, 1);
    EXPECT_EQ(list.TrayTip(), "Peerwell: 2 of 2 directories not watched");
    for (const int line : {0, 1})
        EXPECT_NE(list.LineToolTip(line).find(" is not watched: the watch could not start: "),
                  std::string::npos);
    list.Command(CM_OPTIONS);
    EXPECT_FALSE(list.LineMarked(0) || list.LineMarked(1));
}
