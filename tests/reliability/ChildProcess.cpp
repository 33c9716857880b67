#include "tests/reliability/ChildProcess.h"

#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace reliability {

namespace {

// Everything the child needs, made before fork(): after it only system calls are made.
struct ChildPlan {
    std::vector<std::string> argv;
    std::vector<char*> argvPointers;
    std::vector<std::string> environment;
    std::vector<char*> environmentPointers;
    std::string workingDirectory, stdoutPath, stderrPath;
};

void WriteText(int fd, const char* text) {
    const ssize_t ignored = ::write(fd, text, std::strlen(text));
    static_cast<void>(ignored);
}

[[noreturn]] void ChildFails(const char* what) {
    WriteText(STDERR_FILENO, "child setup failed: ");
    WriteText(STDERR_FILENO, what);
    WriteText(STDERR_FILENO, "\n");
    ::_exit(127);
}

void Redirect(const std::string& path, int target) {
    if (path.empty())
        return;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::dup2(fd, target) < 0)
        ChildFails(path.c_str());
}

// Runs in the child between fork() and exec().
[[noreturn]] void RunChild(const ChildPlan& plan) {
    Redirect(plan.stdoutPath, STDOUT_FILENO);
    Redirect(plan.stderrPath, STDERR_FILENO);
    if (!plan.workingDirectory.empty() && ::chdir(plan.workingDirectory.c_str()) != 0)
        ChildFails(plan.workingDirectory.c_str());
    ::execve(plan.argvPointers[0], plan.argvPointers.data(), plan.environmentPointers.data());
    ChildFails(plan.argvPointers[0]);
}

// Whether one of the settings names the variable of entry ("NAME=value").
bool Overrides(const std::vector<std::string>& settings, std::string_view entry) {
    const std::string_view name = entry.substr(0, entry.find('='));
    return std::any_of(settings.begin(), settings.end(), [&](const std::string& setting) {
        return setting.size() > name.size() && setting.compare(0, name.size(), name) == 0 &&
               setting[name.size()] == '=';
    });
}

// The limits are set by util-linux's unshare and a shell, which run no threads: a process whose
// runtime runs one (ThreadSanitizer's) can't enter a user namespace, nor can its forked child.
std::vector<std::string> WithLimits(const std::vector<std::string>& argv,
                                    const ChildProcess::Options& options) {
    if (options.inotifyInstances == 0 && options.inotifyWatches == 0)
        return argv;
    std::string script;
    if (options.inotifyInstances != 0)
        script += "echo " + std::to_string(options.inotifyInstances) +
                  " >/proc/sys/user/max_inotify_instances && ";
    if (options.inotifyWatches != 0)
        script += "echo " + std::to_string(options.inotifyWatches) +
                  " >/proc/sys/user/max_inotify_watches && ";
    script += argv.empty() ? "true" : "exec \"$0\" \"$@\"";
    std::vector<std::string> wrapped{"/usr/bin/unshare", "--user", "--map-root-user",
                                     "/bin/sh",          "-c",     script};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

ChildPlan MakePlan(const std::vector<std::string>& argv, const ChildProcess::Options& options) {
    ChildPlan plan{WithLimits(argv, options), {},
                   options.environment,       {},
                   options.workingDirectory,  options.stdoutPath,
                   options.stderrPath};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!Overrides(options.environment, *entry))
            plan.environment.emplace_back(*entry);
    }
    return plan;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options) {
    ChildPlan plan = MakePlan(argv, options);
    for (std::string& argument : plan.argv)
        plan.argvPointers.push_back(argument.data());
    plan.argvPointers.push_back(nullptr);
    for (std::string& entry : plan.environment)
        plan.environmentPointers.push_back(entry.data());
    plan.environmentPointers.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0)
        RunChild(plan);
}

ChildProcess::~ChildProcess() {
    if (!status_) {
        ::kill(pid_, SIGKILL);
        int ignored = 0;
        ::waitpid(pid_, &ignored, 0);
    }
}

void ChildProcess::Signal(int signal) const {
    if (!status_)
        ::kill(pid_, signal);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds deadline) {
    testsupport::WaitUntil(
        [&] {
            int status = 0;
            if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = status;
            return status_.has_value();
        },
        deadline);
    return status_;
}

bool ChildProcess::IsStopped() const {
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text;
    std::getline(stat, text);
    // "pid (comm) S ...": the state follows the last parenthesis.
    const std::size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'T';
}

long ResidentKb(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

bool CanLimitInotify() {
    static const bool can = [] {
        ChildProcess probe({}, {.stderrPath = "/dev/null", .inotifyInstances = 4});
        const std::optional<int> status = probe.Wait(std::chrono::seconds(10));
        return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    }();
    return can;
}

} // namespace reliability
