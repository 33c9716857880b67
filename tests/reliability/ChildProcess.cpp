#include "tests/reliability/ChildProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace reliability {

namespace {

// A watcher may have a backlog to work off first, on a loaded machine under a sanitizer; shorter
// than the deadline of a test run (scripts/mutate's: 60 s), so that a fault fails an assertion.
constexpr auto Deadline = std::chrono::seconds(40);
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

bool Redirect(const char* path, int target) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd >= 0 && ::dup2(fd, target) >= 0;
}

std::string Quoted(const std::string& text) {
    return '"' + text + '"';
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options) {
    // Everything the child needs is made before fork(): after it only system calls are made.
    std::vector<std::string> args = argv;
    std::vector<char*> pointers;
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const char* dir = options.workingDirectory.c_str();
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ != 0)
        return;
    if (*dir != '\0' && (::chdir(dir) != 0 || !Redirect("out.txt", STDOUT_FILENO) ||
                         !Redirect("err.txt", STDERR_FILENO)))
        ChildFails(dir);
    ::execv(pointers[0], pointers.data());
    ChildFails(pointers[0]);
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

std::string Watcher::Add(const std::string& alias, const Dir& dir) {
    Dir made = dir;
    if (made.path.empty())
        made.path = root_ / alias;
    if (made.log.empty())
        made.log = root_ / ("logs/" + alias + ".log");
    std::filesystem::create_directories(made.path);
    std::filesystem::create_directories(root_ / "logs");
    for (const std::string& file : made.files)
        testsupport::WriteFile(made.path + "/" + file);
    aliases_.push_back(alias);
    dirs_[alias] = made;
    initial_[alias] = {made.files.begin(), made.files.end()};
    return made.path;
}

bool Watcher::Start(const std::vector<std::string>& argv) {
    std::string config = Header;
    for (const std::string& alias : aliases_) {
        const Dir& dir = dirs_.at(alias);
        config += Quoted(dir.path) + ' ' + Quoted(alias) + " \"*\" \"*.*\" \"0\" " +
                  Quoted(dir.log) + ' ' + Quoted(dir.wav) + "\r\n";
    }
    testsupport::WriteFile(root_ / "peer.cfg", config);
    process_ = std::make_unique<ChildProcess>(argv, ChildProcess::Options{Root()});
    // Each record is echoed after its baseline scan.
    const std::string lastEcho = "Path = " + Path(aliases_.back()) + "| Alias = " + aliases_.back();
    return testsupport::WaitUntil([&] { return Out().find(lastEcho) != std::string::npos; },
                                  Deadline);
}

// Standard output has every line once it is in its log. A probe made before the
// watch began waits for the next change: another is made until one is reported.
bool Watcher::Settle(const std::vector<std::string>& aliases) {
    return std::all_of(aliases.begin(), aliases.end(), [&](const std::string& alias) {
        std::vector<std::string> probes;
        const auto logged = [&](const char* sign) {
            const std::string line = sign + alias + "\\" + probes.back() + "\n";
            return Out().find(line) != std::string::npos;
        };
        const bool added = testsupport::WaitUntil(
            [&] {
                probes.push_back("probe" + std::to_string(++probes_));
                testsupport::WriteFile(Path(alias) + "/" + probes.back());
                return testsupport::WaitUntil([&] { return logged(" [+] "); },
                                              std::chrono::milliseconds(500));
            },
            Deadline);
        for (const std::string& probe : probes)
            std::filesystem::remove(Path(alias) + "/" + probe);
        return added && testsupport::WaitUntil([&] { return logged(" [-] "); }, Deadline);
    });
}

int Watcher::Terminate() {
    process_->Signal(SIGCONT);
    process_->Signal(SIGTERM);
    const std::optional<int> status = process_->Wait(std::chrono::seconds(20));
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

std::string Watcher::Disagreements(const std::string& alias) const {
    std::set<std::string> names = initial_.at(alias);
    std::string faults;
    const auto fault = [&faults](const std::string& text) {
        faults += faults.size() < 2000 ? text + '\n' : "";
    };
    const std::string log = testsupport::ReadFile(Log(alias));
    const std::string label = alias + "\\";
    for (std::size_t at = 0, end; at < log.size(); at = end + 2) {
        end = log.find("\r\n", at);
        if (end == std::string::npos) {
            fault("the last line has no line end");
            break;
        }
        // "YYYY.MM.DD hh:mm [+] label\name"
        const std::string line = log.substr(at, end - at);
        const bool event =
            line.size() > 21 + label.size() &&
            (line.compare(16, 5, " [+] ") == 0 || line.compare(16, 5, " [-] ") == 0) &&
            line.compare(21, label.size(), label) == 0;
        const std::string name = event ? line.substr(21 + label.size()) : "";
        if (!event)
            fault("not an event of this directory: " + line);
        else if (line[18] == '+' ? !names.insert(name).second : names.erase(name) == 0)
            fault("contradicts the lines before it: " + line);
    }
    // What a search with the mask "*.*" and the attribute filter 0 lists.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Path(alias), error)) {
        const std::string name = entry.path().filename();
        if (name[0] != '.' && entry.is_regular_file(error) && names.erase(name) == 0)
            fault("there but never reported added: " + name);
    }
    for (const std::string& name : names)
        fault("reported but not there: " + name);
    return faults;
}

} // namespace reliability
