// Configuration files no one should write, read in a fresh process each, so that its peak
// resident memory shows what reading them costs.
#include "config/Configuration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iostream>
#include <ostream>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr long Allowance = 10; // freed blocks stay resident in the sanitizer's quarantine
#else
constexpr long Allowance = 6;
#endif

constexpr int ChildDeadlineMs = 120 * 1000;

constexpr const char* Header = "**************************************\r\n"
                               "***   Do not change this file!!!   ***\r\n"
                               "**************************************\r\n";

std::string Record(const std::string& path) {
    return "\"" + path + "\" \"alias\" \"*\" \"*.*\" \"0\" \"\" \"\"\r\n";
}

struct Reading {
    long peakGrowthKb = -1; // peak resident memory while reading, beyond what was there before
    long records = -1;
};

// Reads the file with ReadConfiguration in a child process, the echo discarded. Empty figures
// when the child has not answered within the deadline (it is killed then).
Reading ReadInChild(const std::string& file) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        std::ostream discard(nullptr);
        DirArray dirs;
        const ConfigurationRead read = ReadConfiguration(dirs, file, discard);
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        const long result[2] = {after.ru_maxrss - before.ru_maxrss,
                                static_cast<long>(read.records)};
        const bool sent = ::write(pipeFds[1], result, sizeof result) == sizeof result;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    Reading reading;
    long result[2] = {-1, -1};
    pollfd answer{pipeFds[0], POLLIN, 0};
    if (::poll(&answer, 1, ChildDeadlineMs) == 1 &&
        ::read(pipeFds[0], result, sizeof result) == sizeof result)
        reading = {result[0], result[1]};
    ::close(pipeFds[0]);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return reading;
}

} // namespace

TEST(ConfigurationStress, AHundredMegabyteLineCostsAFewTimesItsSize) {
    testsupport::TempDir dir;
    const std::string file = dir / "peer.cfg";
    constexpr long lineSize = 100L * 1024 * 1024;
    {
        std::ofstream out(file, std::ios::binary);
        out << Header << Record(std::string(lineSize, 'p')) << Record("after");
    }
    const Reading reading = ReadInChild(file);
    EXPECT_EQ(reading.records, 2);
    EXPECT_LT(reading.peakGrowthKb, Allowance * lineSize / 1024);
    std::cout << "a 100 MB line: peak growth " << reading.peakGrowthKb / 1024 << " MB\n";
}

TEST(ConfigurationStress, AMillionRecordLinesAndNulBytesCostNoMoreThanElevenRecords) {
    testsupport::TempDir dir;
    const std::string file = dir / "peer.cfg";
    {
        std::ofstream out(file, std::ios::binary);
        out << Header;
        for (int i = 0; i < 1000000; ++i)
            out << Record(std::string("dir\0with\0nul", 12) + std::to_string(i));
    }
    const Reading reading = ReadInChild(file);
    EXPECT_EQ(reading.records, 1000000);
    EXPECT_LT(reading.peakGrowthKb, 32 * 1024);
    std::cout << "a million record lines: peak growth " << reading.peakGrowthKb / 1024 << " MB\n";
}

TEST(ConfigurationStress, APeerCfgThatIsAFifoWithoutWriterReadsAsEmptyAtOnce) {
    testsupport::TempDir dir;
    const std::string file = dir / "peer.cfg";
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(ReadInChild(file).records, 0) << "the reader did not return";
}
