#include "config/Configuration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ostream>

namespace {

// Reads the file in a child process and returns the number of records, or -1 when the child
// has not answered within the deadline (it is killed then).
long RecordsReadInChild(const std::string& file) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::ostream discard(nullptr);
        DirArray dirs;
        const long records = static_cast<long>(ReadConfiguration(dirs, file, discard).records);
        ::_exit(::write(pipeFds[1], &records, sizeof records) == sizeof records ? 0 : 1);
    }
    ::close(pipeFds[1]);
    long records = -1;
    pollfd answer{pipeFds[0], POLLIN, 0};
    if (::poll(&answer, 1, 30 * 1000) != 1 || ::read(pipeFds[0], &records, sizeof records) <= 0)
        records = -1;
    ::close(pipeFds[0]);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return records;
}

} // namespace

TEST(ConfigurationFifo, APeerCfgThatIsAFifoWithoutWriterReadsAsEmptyAtOnce) {
    testsupport::TempDir dir;
    const std::string file = dir / "peer.cfg";
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(RecordsReadInChild(file), 0) << "the reader did not return";
}
