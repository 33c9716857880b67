#include "tests/support/LogReplay.h"

#include <filesystem>

namespace testsupport {

namespace {

constexpr std::string_view LineEnd = "\r\n";

bool IsControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

std::string Hex(unsigned char byte) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return {'\\', 'x', digits[byte >> 4], digits[byte & 0x0F]};
}

// Undoes the \xHH escapes; empty for a bad escape, a raw control byte or backslash, or no text.
std::optional<std::string> Unescaped(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsControl(static_cast<unsigned char>(text[i])))
            return std::nullopt;
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        const std::string hex(text.substr(i + 1, 3));
        if (hex.size() != 3 || hex[0] != 'x' ||
            hex.find_first_not_of("0123456789ABCDEF", 1) != hex.npos)
            return std::nullopt;
        name += static_cast<char>(std::stoi(hex.substr(1), nullptr, 16));
        i += 3;
    }
    return name.empty() ? std::nullopt : std::optional(name);
}

void Apply(Replay& replay, std::string_view line, std::string_view label) {
    const std::string where = "line " + std::to_string(++replay.lines) + ": ";
    const std::optional<LoggedEvent> event = ParseLogLine(line, label);
    if (!event)
        return replay.faults.push_back(where +
                                       "not an event of this directory: " + Printable(line));
    const bool present = replay.names.count(event->name) != 0;
    if (event->sign == '+') {
        ++replay.added;
        if (present)
            replay.faults.push_back(where +
                                    "added again without a removal: " + Printable(event->name));
        replay.names.insert(event->name);
    } else {
        if (!present)
            replay.faults.push_back(where + "removed but not there: " + Printable(event->name));
        replay.names.erase(event->name);
    }
}

} // namespace

std::optional<LoggedEvent> ParseLogLine(std::string_view line, std::string_view label) {
    // The label is written with its control bytes escaped and its backslashes as they are.
    std::string prefix;
    for (const char c : label)
        prefix += IsControl(static_cast<unsigned char>(c)) ? Hex(static_cast<unsigned char>(c))
                                                           : std::string(1, c);
    prefix += '\\';
    constexpr std::string_view head = "dddd.dd.dd dd:dd [s] "; // d: a digit, s: the sign
    for (std::size_t i = 0; i < head.size(); ++i) {
        const char c = i < line.size() ? line[i] : '\0';
        if (head[i] == 'd'   ? c < '0' || c > '9'
            : head[i] == 's' ? c != '+' && c != '-'
                             : c != head[i])
            return std::nullopt;
    }
    if (line.substr(head.size(), prefix.size()) != prefix)
        return std::nullopt;
    std::optional<std::string> name = Unescaped(line.substr(head.size() + prefix.size()));
    if (!name)
        return std::nullopt;
    return LoggedEvent{std::string(line.substr(0, 16)), line[18], std::move(*name)};
}

std::string Replay::Describe() const {
    std::string text;
    for (std::size_t i = 0; i < faults.size() && i < 20; ++i)
        text += faults[i] + '\n';
    return text + (faults.size() > 20 ? "... and more\n" : "");
}

Replay ReplayLog(std::string_view logText, std::string_view label, std::set<std::string> initial) {
    Replay replay;
    replay.names = std::move(initial);
    for (std::size_t end; !logText.empty(); logText.remove_prefix(end + LineEnd.size())) {
        end = logText.find(LineEnd);
        if (end == logText.npos) {
            replay.faults.push_back("the last line has no line end: " + Printable(logText));
            break;
        }
        Apply(replay, logText.substr(0, end), label);
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
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name[0] != '.' && (entry.is_symlink(error) || entry.is_regular_file(error)) &&
            !entry.is_directory(error))
            names.insert(name);
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
