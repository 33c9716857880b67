#include "tests/watch/BindfsMount.h"

#include "tests/support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <linux/magic.h>
#include <stdexcept>
#include <sys/vfs.h>
#include <unistd.h>

namespace watchtest {

namespace {

using namespace std::chrono_literals;

bool IsFuseMount(const std::string& path) {
    struct statfs info {};
    return ::statfs(path.c_str(), &info) == 0 && info.f_type == FUSE_SUPER_MAGIC;
}

// Runs a program to its end; true when it exited with 0.
bool Succeeds(const std::vector<std::string>& argv) {
    reliability::ChildProcess child(argv, {});
    const std::optional<int> status = child.Wait(10s);
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

} // namespace

std::optional<std::string> BindfsMount::Unavailable() {
    if (::access("/dev/fuse", R_OK | W_OK) != 0)
        return "no FUSE here (/dev/fuse is missing or not usable): the share is not tested";
    return std::nullopt;
}

BindfsMount::BindfsMount(const std::string& root)
    : server_(root + "/server"), share_(root + "/share") {
    std::filesystem::create_directories(server_);
    std::filesystem::create_directories(share_);
    daemon_.emplace(std::vector<std::string>{"/usr/bin/bindfs", "-f", server_, share_},
                    reliability::ChildProcess::Options{});
    if (!testsupport::WaitUntil([&] { return IsFuseMount(share_); }))
        throw std::runtime_error("bindfs did not mount " + share_);
}

BindfsMount::~BindfsMount() {
    Thaw();
    if (!Succeeds({"/bin/fusermount", "-u", share_}))
        Succeeds({"/bin/umount", "-l", share_});
    daemon_->Wait(10s);
}

void BindfsMount::Freeze() {
    daemon_->Signal(SIGSTOP);
}

void BindfsMount::Thaw() {
    daemon_->Signal(SIGCONT);
}

void BindfsMount::Kill() {
    daemon_->Signal(SIGKILL);
}

} // namespace watchtest
