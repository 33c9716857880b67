// Rescan of an unchanged directory after its baseline (its own listing, and one the watch took),
// against a bare readdir pass over the same directory, for directories of empty files; and the
// snapshot's memory per entry.
//     peerwell-rescan-bench [COUNT...]   (default 10000 100000 1000000)
// The directories go under $PEERWELL_BENCH_DIR (default /var/tmp) and are removed afterwards.

#include "engine/MyDir.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 5;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU time (user and system) the work takes on this thread: unlike the time on the clock,
// it does not count the time other processes take the processor away.
double Seconds(const std::function<void()>& work) {
    const double start = ThreadCpuSeconds();
    work();
    return ThreadCpuSeconds() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::size_t BareReaddir(const std::string& dir) {
    DIR* stream = opendir(dir.c_str());
    if (!stream)
        return 0;
    std::size_t count = 0;
    while (readdir(stream))
        ++count;
    closedir(stream);
    return count;
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::string FileName(std::size_t i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%07zu.txt", i);
    return name;
}

// A directory of count empty files, removed with them at the end.
class FilledDirectory {
public:
    FilledDirectory(const std::string& base, std::size_t count) {
        std::string pattern = base + "/peerwell-rescan-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a directory under " + base);
        path_ = pattern;
        for (std::size_t i = 0; i < count; ++i) {
            const int fd =
                open((path_ + '/' + FileName(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd < 0)
                throw std::runtime_error("cannot create files in " + path_);
            close(fd);
        }
    }
    ~FilledDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FilledDirectory(const FilledDirectory&) = delete;
    FilledDirectory& operator=(const FilledDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A pass told of one changed name, as after a notification in a large directory.
double IncrementalPass(MyDir& record, const std::string& dir) {
    std::vector<double> times;
    const std::string name = "new.txt";
    for (int run = 0; run < Runs; ++run) {
        if (run % 2 == 0)
            close(open((dir + '/' + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        else
            unlink((dir + '/' + name).c_str());
        times.push_back(Seconds([&] { record.Rescan(platform::ChangeSet{.names = {name}}); }));
    }
    unlink((dir + '/' + name).c_str());
    record.Rescan();
    return Median(times);
}

// A pass given a whole listing the watch took, as after lost events or at the first pass of a
// watch: the listing is held as a value before the snapshot takes it.
double ListingPass(MyDir& record, const std::string& dir) {
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run)
        times.push_back(Seconds([&] {
            record.Rescan(platform::ChangeSet{.listing = platform::ListDirectory(dir, "*.*", 0)});
        }));
    return Median(times);
}

bool RunCase(const FilledDirectory& dir, std::size_t count, const std::string& mask) {
    const std::size_t heapBefore = HeapInUse();
    MyDir record({dir.path(), "", '*', mask, 0, "", ""});
    const std::size_t heapAfter = HeapInUse();
    if (record.Files().size() != count) {
        std::printf("FAILED: the baseline of %zu files holds %zu entries\n", count,
                    record.Files().size());
        return false;
    }
    BareReaddir(dir.path());
    std::vector<double> rescans, readdirs;
    for (int run = 0; run < Runs; ++run) {
        readdirs.push_back(Seconds([&] { BareReaddir(dir.path()); }));
        rescans.push_back(Seconds([&] { record.Rescan(); }));
        if (record.Found().HoldsName()) {
            std::printf("FAILED: an unchanged directory reported changes\n");
            return false;
        }
    }
    const double rescan = Median(rescans), readdir = Median(readdirs);
    std::printf("rescan  %8zu files  mask %-6s  Rescan %9.3f ms  readdir %9.3f ms  ratio %.2f\n",
                count, mask.c_str(), rescan * 1e3, readdir * 1e3, rescan / readdir);
    if (mask != "*.*")
        return true;
    std::printf("rescan  %8zu files  one changed name: incremental pass %.3f ms\n", count,
                IncrementalPass(record, dir.path()) * 1e3);
    const double listingPass = ListingPass(record, dir.path());
    std::printf("rescan  %8zu files  the watch's listing: pass %9.3f ms  ratio %.2f\n", count,
                listingPass * 1e3, listingPass / readdir);
    std::printf("memory  %8zu entries  %.1f bytes per entry (names of %zu bytes)\n", count,
                static_cast<double>(heapAfter - heapBefore) / static_cast<double>(count),
                FileName(0).size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> counts{10'000, 100'000, 1'000'000};
    if (argc > 1) {
        counts.clear();
        for (int i = 1; i < argc; ++i)
            counts.push_back(std::strtoul(argv[i], nullptr, 10));
    }
    const char* base = std::getenv("PEERWELL_BENCH_DIR");
    std::printf(
        "# CPU time, median of %d runs; goal: ratio <= 1.3 at 100000 and 1000000 files, memory <= "
        "64 bytes + name length\n",
        Runs);
    try {
        for (const std::size_t count : counts) {
            const FilledDirectory dir(base && *base ? base : "/var/tmp", count);
            for (const char* mask : {"*.*", "*.txt"}) {
                if (!RunCase(dir, count, mask))
                    return 1;
            }
        }
    } catch (const std::exception& error) {
        std::printf("FAILED: %s\n", error.what());
        return 1;
    }
    return 0;
}
