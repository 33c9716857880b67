#include "tests/watch/ChildProcess.h"

#include "tests/support/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace watchtest {

namespace {

void ReadAvailable(int fd, std::string& text) {
    char buffer[4096];
    ssize_t size;
    while ((size = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(size));
}

} // namespace

ChildProcess::ChildProcess(const std::string& workingDir, const std::vector<std::string>& argv,
                           int maxOpenFiles) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (maxOpenFiles > 0) {
            const rlimit limit{static_cast<rlim_t>(maxOpenFiles),
                               static_cast<rlim_t>(maxOpenFiles)};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        if (::chdir(workingDir.c_str()) == 0)
            ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
    ::fcntl(out_, F_SETFL, O_NONBLOCK);
    ::fcntl(err_, F_SETFL, O_NONBLOCK);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0)
        Wait(SIGKILL);
    ::close(out_);
    ::close(err_);
}

const std::string& ChildProcess::Out() {
    ReadAvailable(out_, outText_);
    return outText_;
}

const std::string& ChildProcess::Err() {
    ReadAvailable(err_, errText_);
    return errText_;
}

bool ChildProcess::OutHolds(const std::string& text) {
    return testsupport::WaitUntil([&] { return Out().find(text) != std::string::npos; });
}

int ChildProcess::Wait(int signal) {
    if (signal != 0)
        ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    Out();
    Err();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace watchtest
