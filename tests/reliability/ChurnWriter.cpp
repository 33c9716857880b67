// A writer for the churn tests: for a given time, creates, deletes and renames files at random in
// the directories it is given, renames between them, and moves files in from and out to a
// directory outside them. Prints the number of operations tried when it ends.
//   peerwell-churn-writer SECONDS SEED OUTSIDE DIR...

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// A few names that look like log lines or break lines, beside plain ones.
const char* const HostileNames[] = {"line\nbreak", "cr\rname", "back\\slash",
                                    "\x7F\x01",    "\xFF\xFE", "2001.03.05 14:07 [+] in\\fake.txt"};
constexpr int PlainNames = 48;
constexpr int Subdirectories = 3;

class Writer {
public:
    Writer(unsigned seed, std::string outside, std::vector<std::string> dirs)
        : random_(seed), outside_(std::move(outside)), dirs_(std::move(dirs)),
          parked_(outside_ + "/parked-" + std::to_string(seed)) {}

    void Step() {
        const int roll = Pick(100);
        if (roll < 30)
            Create(AnyPath());
        else if (roll < 52)
            ::unlink(AnyPath().c_str());
        else if (roll < 67)
            Rename(AnyDir(), AnyDir());
        else if (roll < 77)
            MoveIn();
        else if (roll < 87)
            MoveOut();
        else if (roll < 93)
            Create(AnyDir() + "/.hidden" + std::to_string(Pick(4)));
        else
            MakeOrRemoveSubdirectory();
    }

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    std::string AnyDir() {
        return dirs_[static_cast<std::size_t>(Pick(static_cast<int>(dirs_.size())))];
    }

    std::string AnyName() {
        constexpr int hostile = static_cast<int>(std::size(HostileNames));
        const int n = Pick(PlainNames + hostile);
        if (n >= PlainNames)
            return HostileNames[n - PlainNames];
        return {'f', static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    }

    std::string AnyPath() { return AnyDir() + "/" + AnyName(); }

    static void Create(const std::string& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    }

    void Rename(const std::string& from, const std::string& to) {
        ::rename((from + "/" + AnyName()).c_str(), (to + "/" + AnyName()).c_str());
    }

    void MoveIn() {
        Create(parked_);
        ::rename(parked_.c_str(), AnyPath().c_str());
    }

    void MoveOut() {
        if (::rename(AnyPath().c_str(), parked_.c_str()) == 0)
            ::unlink(parked_.c_str());
    }

    void MakeOrRemoveSubdirectory() {
        const std::string path = AnyDir() + "/sub" + std::to_string(Pick(Subdirectories));
        if (::mkdir(path.c_str(), 0755) != 0)
            ::rmdir(path.c_str());
    }

    std::mt19937 random_;
    std::string outside_;
    std::vector<std::string> dirs_;
    std::string parked_;
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s SECONDS SEED OUTSIDE DIR...\n", argv[0]);
        return 2;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::stoi(argv[1]));
    Writer writer(static_cast<unsigned>(std::stoul(argv[2])), argv[3],
                  std::vector<std::string>(argv + 4, argv + argc));
    unsigned long operations = 0;
    while (std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 64; ++i, ++operations)
            writer.Step();
    }
    std::printf("%lu\n", operations);
    return 0;
}
