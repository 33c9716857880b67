#include "engine/EventLog.h"

#include "platform/Clock.h"

#include <cstdio>

namespace {

// Control bytes (and, where asked, the backslash) as \xHH so that a name can neither break a
// line nor be mistaken for the label separator.
void AppendEscaped(std::string& out, std::string_view text, bool escapeBackslash) {
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (escapeBackslash && c == '\\')) {
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        } else {
            out += c;
        }
    }
}

} // namespace

std::string FormatTimeStamp(const std::tm& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u.%02u.%02u %02u:%02u",
                  static_cast<unsigned>(time.tm_year + 1900),
                  static_cast<unsigned>(time.tm_mon + 1), static_cast<unsigned>(time.tm_mday),
                  static_cast<unsigned>(time.tm_hour), static_cast<unsigned>(time.tm_min));
    return text;
}

std::string LocalTimeStamp() {
    return FormatTimeStamp(platform::LocalNow());
}

std::string FormatLogLine(std::string_view stamp, char sign, std::string_view label,
                          std::string_view name) {
    std::string line;
    line.reserve(stamp.size() + 6 + label.size() + name.size());
    line += stamp;
    line += " [";
    line += sign;
    line += "] ";
    AppendEscaped(line, label, false);
    line += '\\';
    AppendEscaped(line, name, true);
    return line;
}
