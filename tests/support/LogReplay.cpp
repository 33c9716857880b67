#include "tests/support/LogReplay.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

namespace testsupport {

namespace {

constexpr std::size_t StampSize = 16;
constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t MaxFaultsShown = 20;

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Hex(unsigned char byte) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return {'\\', 'x', digits[byte >> 4], digits[byte & 0x0F]};
}

// "YYYY.MM.DD hh:mm"
bool IsStamp(std::string_view text) {
    static constexpr std::string_view shape = "dddd.dd.dd dd:dd";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (shape[i] == 'd' ? !digit : text[i] != shape[i])
            return false;
    }
    return true;
}

// A label is written with its control bytes escaped and its backslashes as they are.
std::string EscapedLabel(std::string_view label) {
    std::string out;
    for (const char c : label)
        out += IsControl(static_cast<unsigned char>(c)) ? Hex(static_cast<unsigned char>(c))
                                                        : std::string(1, c);
    return out;
}

void Apply(Replay& replay, const LoggedEvent& event, std::size_t lineNumber) {
    const bool present = replay.names.count(event.name) != 0;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (event.sign == '+') {
        ++replay.added;
        if (present)
            replay.faults.push_back(where +
                                    "added again without a removal: " + Printable(event.name));
        replay.names.insert(event.name);
    } else {
        if (!present)
            replay.faults.push_back(where + "removed but not there: " + Printable(event.name));
        replay.names.erase(event.name);
    }
}

void ReplayLine(Replay& replay, std::string_view line, std::string_view label) {
    const std::size_t number = ++replay.lines;
    if (line.find_first_of(LineEnd) != line.npos) {
        replay.faults.push_back("line " + std::to_string(number) + ": broken by a line end");
        return;
    }
    const std::optional<LoggedEvent> event = ParseLogLine(line, label);
    if (!event) {
        replay.faults.push_back("line " + std::to_string(number) +
                                ": not an event of this directory: " + Printable(line));
        return;
    }
    Apply(replay, *event, number);
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool IsListedPlainFile(int dirFd, const char* name) {
    struct stat own {};
    if (fstatat(dirFd, name, &own, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISREG(own.st_mode))
        return true;
    struct stat target {};
    return S_ISLNK(own.st_mode) &&
           !(fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode));
}

} // namespace

std::optional<std::string> DecodeLoggedName(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsControl(byte))
            return std::nullopt;
        if (byte != '\\') {
            name += text[i];
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return std::nullopt;
        const int high = HexValue(text[i + 2]);
        const int low = HexValue(text[i + 3]);
        if (high < 0 || low < 0)
            return std::nullopt;
        name += static_cast<char>(high * 16 + low);
        i += 3;
    }
    if (name.empty())
        return std::nullopt;
    return name;
}

std::optional<LoggedEvent> ParseLogLine(std::string_view line, std::string_view label) {
    const std::string prefix = EscapedLabel(label) + '\\';
    constexpr std::size_t tagSize = 5; // " [+] "
    if (line.size() < StampSize + tagSize + prefix.size() || !IsStamp(line.substr(0, StampSize)))
        return std::nullopt;
    const std::string_view tag = line.substr(StampSize, tagSize);
    if (tag != " [+] " && tag != " [-] ")
        return std::nullopt;
    std::string_view rest = line.substr(StampSize + tagSize);
    if (rest.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    std::optional<std::string> name = DecodeLoggedName(rest.substr(prefix.size()));
    if (!name)
        return std::nullopt;
    return LoggedEvent{std::string(line.substr(0, StampSize)), tag[2], std::move(*name)};
}

std::string Replay::Describe() const {
    std::string text;
    for (std::size_t i = 0; i < faults.size() && i < MaxFaultsShown; ++i)
        text += faults[i] + '\n';
    if (faults.size() > MaxFaultsShown)
        text += "... and " + std::to_string(faults.size() - MaxFaultsShown) + " more\n";
    return text;
}

Replay ReplayLog(std::string_view logText, std::string_view label, std::set<std::string> initial) {
    Replay replay;
    replay.names = std::move(initial);
    while (!logText.empty()) {
        const std::size_t end = logText.find(LineEnd);
        if (end == logText.npos) {
            ++replay.lines;
            replay.faults.push_back("the last line has no line end: " + Printable(logText));
            break;
        }
        ReplayLine(replay, logText.substr(0, end), label);
        logText.remove_prefix(end + LineEnd.size());
    }
    return replay;
}

Replay CheckLog(std::string_view logText, std::string_view label, std::set<std::string> initial,
                const std::set<std::string>& listing) {
    Replay replay = ReplayLog(logText, label, std::move(initial));
    for (const std::string& name : listing) {
        if (replay.names.count(name) == 0)
            replay.faults.push_back("there but never reported added: " + Printable(name));
    }
    for (const std::string& name : replay.names) {
        if (listing.count(name) == 0)
            replay.faults.push_back("reported but not there: " + Printable(name));
    }
    return replay;
}

std::set<std::string> ListPlainFiles(const std::string& dir) {
    std::set<std::string> names;
    const std::unique_ptr<DIR, DirCloser> stream(opendir(dir.c_str()));
    if (!stream)
        return names;
    while (const dirent* entry = readdir(stream.get())) {
        if (entry->d_name[0] != '.' && IsListedPlainFile(dirfd(stream.get()), entry->d_name))
            names.insert(entry->d_name);
    }
    return names;
}

std::string Printable(std::string_view name) {
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte < 0x20 || byte >= 0x7F || c == '\\' ? Hex(byte) : std::string(1, c);
    }
    return out;
}

} // namespace testsupport
