#include "tests/watch/DirWatchFixture.h"

#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testsupport::WriteFile;
using watchtest::Watched;
namespace fs = std::filesystem;

namespace {

// The inotify watches this process holds, over all its inotify instances.
int InotifyWatches() {
    int watches = 0;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(fd.path(), error) != "anon_inode:inotify")
            continue;
        std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
        for (std::string line; std::getline(info, line);)
            watches += line.rfind("inotify wd:", 0) == 0;
    }
    return watches;
}

} // namespace

// The path stops leading to a directory for a while, in each way it can: whatever it is
// meanwhile, once it leads to a directory again that directory's changes signal, and the watches
// of the ways it took meanwhile are gone.
TEST(DirWatchPath, IsWaitedForWhateverItIsMeanwhile) {
    using Step = std::function<void(const std::string& path, const std::string& target)>;
    const struct {
        const char* meanwhile;
        bool link; // path is a link to target
        std::vector<Step> steps;
    } cases[] = {
        {"a file",
         false,
         {[](auto& p, auto&) { fs::remove_all(p); }, [](auto& p, auto&) { WriteFile(p); },
          [](auto& p, auto&) { fs::remove(p), fs::create_directory(p); }}},
        {"a dangling link",
         false,
         {[](auto& p, auto&) { fs::remove_all(p); },
          [](auto& p, auto&) { fs::create_directory_symlink(p + ".nowhere", p); },
          [](auto& p, auto&) { fs::remove(p), fs::create_directory(p); }}},
        {"a link whose target is deleted and made again",
         true,
         {[](auto&, auto& t) { fs::remove_all(t); },
          [](auto&, auto& t) { fs::create_directory(t); }}},
        {"a link pointed at another directory", true, {[](auto& p, auto& t) {
             fs::create_directory(t + "2");
             fs::create_directory_symlink(t + "2", p + ".new");
             fs::rename(p + ".new", p);
         }}},
        {"in a parent renamed away and made again", false, {[](auto& p, auto&) {
             const fs::path parent = fs::path(p).parent_path();
             fs::rename(parent, parent.string() + ".old");
             fs::create_directories(p);
         }}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meanwhile);
        Watched w;
        const std::string path = w.root / "way/path", target = w.root / "target";
        fs::create_directory(w.root / "way");
        fs::create_directory(c.link ? target : path);
        if (c.link)
            fs::create_directory_symlink(target, path);
        w.Watch(path);
        const int watches = InotifyWatches();
        for (const Step& step : c.steps) {
            step(path, target);
            w.Due();
        }
        w.Take();
        WriteFile(path + "/back");
        EXPECT_THAT(w.Due(), ElementsAre(0));
        EXPECT_THAT(w.Take().names, ElementsAre("back"));
        EXPECT_EQ(w.watch->Error(0), 0);
        EXPECT_EQ(InotifyWatches(), watches);
    }
}
