// One program per list, as a second program meets the lock of a list that another process
// holds: a child that takes the lock and waits until it is killed.
#include "platform/InstanceLock.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

using platform::InstanceLock;
using platform::ProgramKind;
namespace fs = std::filesystem;

namespace {

// A process that holds the lock of listFile as kind until it is killed.
class Holder {
public:
    Holder(const std::string& listFile, ProgramKind kind) {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            const InstanceLock lock(listFile, kind);
            const char taken = lock.Result() == InstanceLock::Outcome::Taken ? 'y' : 'n';
            if (::write(ready[1], &taken, 1) == 1)
                ::pause();
            ::_exit(1);
        }
        ::close(ready[1]);
        char taken = 'n';
        taken_ = ::read(ready[0], &taken, 1) == 1 && taken == 'y';
        ::close(ready[0]);
    }
    ~Holder() { Kill(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    void Kill() {
        if (pid_ > 0 && ::kill(pid_, SIGKILL) == 0)
            ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    unsigned long Pid() const { return static_cast<unsigned long>(pid_); }
    bool Taken() const { return taken_; }

private:
    pid_t pid_ = -1;
    bool taken_ = false;
};

} // namespace

// Every path that leads to the file a save replaces names the same list (it need not exist);
// the lock is free again once its holder is killed.
TEST(InstanceLock, ASecondProgramIsRefusedWithTheHoldersIdAndKindUntilTheHolderIsKilled) {
    testsupport::TempDir dir;
    for (const char* folder : {"list", "other", "linked"})
        fs::create_directory(dir.path() / folder);
    fs::create_directory_symlink(dir / "list", dir / "link");
    fs::create_symlink(dir / "list/peer.cfg", dir / "linked/peer.cfg");
    const std::string list = dir / "list/peer.cfg";
    const struct {
        const char* name;
        ProgramKind kind;
        std::string asked;
        bool held;
    } cases[] = {
        {"held by the headless watcher", ProgramKind::Headless, list, true},
        {"held by a desktop program", ProgramKind::Desktop, list, true},
        {"through a link to its folder", ProgramKind::Headless, dir / "link/peer.cfg", true},
        {"through a peer.cfg that links to it", ProgramKind::Desktop, dir / "linked/peer.cfg",
         true},
        {"through .. and .", ProgramKind::Headless, dir / "other/.././list/peer.cfg", true},
        {"another folder's list", ProgramKind::Headless, dir / "other/peer.cfg", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Holder holder(list, c.kind);
        ASSERT_TRUE(holder.Taken());
        {
            const InstanceLock second(c.asked, ProgramKind::Desktop);
            EXPECT_EQ(second.Result(),
                      c.held ? InstanceLock::Outcome::Held : InstanceLock::Outcome::Taken);
            if (c.held) {
                EXPECT_EQ(second.Holder().processId, holder.Pid());
                EXPECT_EQ(second.Holder().kind, c.kind);
            }
        }
        holder.Kill();
        EXPECT_EQ(InstanceLock(c.asked, ProgramKind::Headless).Result(),
                  InstanceLock::Outcome::Taken);
    }
}
