#include "tests/reliability/ChildProcess.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace reliability {

namespace {

// A watcher may have a backlog to work off first, on a loaded machine under a sanitizer; shorter
// than the deadline of a test run (scripts/mutate's: 60 s), so that a fault fails an assertion.
constexpr auto Deadline = std::chrono::seconds(40);
// Polls (of 5 ms) between two probe files.
constexpr int RemakePolls = 20;
constexpr const char* Header = "**************************************\r\n"
                               "***   Do not change this file!!!   ***\r\n"
                               "**************************************\r\n";

[[noreturn]] void ChildFails(const char* what) {
    for (const char* text : {"child setup failed: ", what, "\n"}) {
        if (::write(STDERR_FILENO, text, std::strlen(text)) < 0)
            break;
    }
    ::_exit(127);
}

void Redirect(const std::string& path, int target) {
    if (path.empty())
        return;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::dup2(fd, target) < 0)
        ChildFails(path.c_str());
}

// The inotify limits are set by util-linux's unshare and a shell, which run no threads: a
// process whose runtime runs one (ThreadSanitizer's) can't enter a user namespace.
std::vector<std::string> WithLimits(const std::vector<std::string>& argv,
                                    const ChildProcess::Options& options) {
    if (options.inotifyInstances == 0 && options.inotifyWatches == 0)
        return argv;
    std::string script;
    for (const auto& [limit, file] : {std::pair{options.inotifyInstances, "instances"},
                                      std::pair{options.inotifyWatches, "watches"}}) {
        if (limit != 0)
            script +=
                "echo " + std::to_string(limit) + " >/proc/sys/user/max_inotify_" + file + " && ";
    }
    script += argv.empty() ? "true" : "exec \"$0\" \"$@\"";
    std::vector<std::string> wrapped{"/usr/bin/unshare", "--user", "--map-root-user",
                                     "/bin/sh",          "-c",     script};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

// The settings go first: a program takes the first entry of a name.
std::vector<std::string> Environment(const std::vector<std::string>& settings) {
    std::vector<std::string> entries = settings;
    for (char** entry = environ; *entry != nullptr; ++entry)
        entries.emplace_back(*entry);
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options) {
    // Everything the child needs is made before fork(): after it only system calls are made.
    std::vector<std::string> args = WithLimits(argv, options);
    std::vector<std::string> environment = Environment(options.environment);
    const std::vector<char*> argPointers = Pointers(args);
    const std::vector<char*> environmentPointers = Pointers(environment);
    const rlimit fileSize{static_cast<rlim_t>(options.fileSizeLimit), RLIM_INFINITY};
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ != 0)
        return;
    Redirect(options.stdoutPath, STDOUT_FILENO);
    Redirect(options.stderrPath, STDERR_FILENO);
    if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0)
        ChildFails(options.workingDirectory.c_str());
    // Ignored, a signal stays ignored across exec: the write fails with EFBIG instead.
    if (options.fileSizeLimit != 0 &&
        (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &fileSize) != 0))
        ChildFails("file-size limit");
    ::execve(argPointers[0], argPointers.data(), environmentPointers.data());
    ChildFails(argPointers[0]);
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

bool ChildProcess::Pause() {
    Signal(SIGSTOP);
    return testsupport::WaitUntil([&] {
        int status = 0;
        return ::waitpid(pid_, &status, WNOHANG | WUNTRACED) == pid_ && WIFSTOPPED(status);
    });
}

Watcher::Watcher(std::string program) : program_(std::move(program)) {
    std::filesystem::create_directory(root_ / "logs");
}

std::string Watcher::Add(const std::string& alias, const Dir& dir) {
    Dir made = dir;
    if (made.path.empty())
        made.path = root_ / alias;
    if (made.log.empty())
        made.log = root_ / ("logs/" + alias + ".log");
    std::filesystem::create_directories(made.path);
    for (const std::string& file : made.files)
        testsupport::WriteFile(made.path + "/" + file);
    aliases_.push_back(alias);
    dirs_[alias] = made;
    initial_[alias] = testsupport::ListPlainFiles(made.path);
    return made.path;
}

bool Watcher::Start(ChildProcess::Options options) {
    std::string config = Header;
    for (const std::string& alias : aliases_) {
        const Dir& dir = dirs_.at(alias);
        config += Quoted(dir.path) + ' ' + Quoted(alias) + " \"*\" \"*.*\" \"0\" " +
                  Quoted(dir.log) + ' ' + Quoted(dir.wav) + "\r\n";
    }
    testsupport::WriteFile(root_ / "peer.cfg", config);
    options.workingDirectory = Root();
    options.stdoutPath = root_ / "out.txt";
    options.stderrPath = root_ / "err.txt";
    process_ = std::make_unique<ChildProcess>(std::vector<std::string>{program_}, options);
    // Each record is echoed after its baseline scan.
    const std::string lastEcho = "Path = " + Path(aliases_.back()) + "| Alias = " + aliases_.back();
    return testsupport::WaitUntil([&] { return Out().find(lastEcho) != std::string::npos; },
                                  Deadline);
}

// Standard output has every line, also of a log that can't be written.
bool Watcher::Logged(const std::string& alias, char sign, const std::string& name) const {
    const std::string line = std::string(" [") + sign + "] " + alias + "\\" + name + "\n";
    return Out().find(line) != std::string::npos;
}

// A probe made before the watch began waits for the next change: another is made now and then.
bool Watcher::Settle(const std::vector<std::string>& aliases) {
    return std::all_of(aliases.begin(), aliases.end(), [&](const std::string& alias) {
        const int first = probes_ + 1;
        const auto probe = [&](int n) { return "probe" + std::to_string(n); };
        int polls = 0, added = 0;
        const bool watched = testsupport::WaitUntil(
            [&] {
                if (polls++ % RemakePolls == 0)
                    testsupport::WriteFile(Path(alias) + "/" + probe(++probes_));
                for (added = first; added <= probes_; ++added) {
                    if (Logged(alias, '+', probe(added)))
                        return true;
                }
                return false;
            },
            Deadline);
        for (int n = first; n <= probes_; ++n)
            std::filesystem::remove(Path(alias) + "/" + probe(n));
        return watched &&
               testsupport::WaitUntil([&] { return Logged(alias, '-', probe(added)); }, Deadline);
    });
}

int Watcher::Terminate() {
    process_->Signal(SIGCONT);
    process_->Signal(SIGTERM);
    const std::optional<int> status = process_->Wait(std::chrono::seconds(20));
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

testsupport::Replay Watcher::Check(const std::string& alias) const {
    return testsupport::CheckLog(testsupport::ReadFile(Log(alias)), alias, initial_.at(alias),
                                 testsupport::ListPlainFiles(Path(alias)));
}

testsupport::Replay Watcher::WaitUntilAgrees(const std::string& alias) const {
    testsupport::Replay replay;
    testsupport::WaitUntil(
        [&] {
            replay = Check(alias);
            return replay.Agrees();
        },
        Deadline);
    return replay;
}

std::size_t Watcher::EventLinesOut() const {
    const std::string out = Out();
    std::size_t lines = 0;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = std::min(out.find('\n', at), out.size());
        const std::string_view line = std::string_view(out).substr(at, end - at);
        lines +=
            line.size() > 21 && (line.substr(16, 5) == " [+] " || line.substr(16, 5) == " [-] ");
        at = end + 1;
    }
    return lines;
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
