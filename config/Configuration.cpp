#include "config/Configuration.h"

#include "config/TextLines.h"
#include "platform/AtomicFile.h"
#include "platform/InputFile.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <optional>

namespace {

constexpr std::string_view LineEnd = "\r\n";

void AppendQuoted(std::string& out, std::string_view value, std::string_view after) {
    out += '"';
    out += value;
    out += '"';
    out += after;
}

bool IsNumberSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The Attrib field's number: leading white space, an optional sign, then decimal digits up to
// the first other character; no digits give 0. Wraps modulo 2^32 like an unchecked 32-bit
// conversion, so "4294967295" gives -1.
std::int32_t ParseAttrib(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsNumberSpace(text[i]))
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

// A setting as its field holds it.
std::string FieldText(const std::string& value) {
    return value;
}
std::string FieldText(char value) {
    return std::string(1, value);
}
std::string FieldText(std::int32_t value) {
    return std::to_string(value);
}

// A setting from its field's text; false when the text can't give one.
bool FromFieldText(std::string_view text, std::string& value) {
    value = text;
    return true;
}
bool FromFieldText(std::string_view text, char& value) {
    if (text.empty())
        return false;
    value = text.front();
    return true;
}
bool FromFieldText(std::string_view text, std::int32_t& value) {
    value = ParseAttrib(text);
    return true;
}

void AppendRecord(std::string& out, const DirSettings& settings) {
    std::size_t field = 0;
    ForEachSetting(settings, [&](const auto& value) {
        AppendQuoted(out, FieldText(value), ++field < SettingCount ? " " : LineEnd);
    });
}

using Fields = std::array<std::string_view, SettingCount>;

// The text of the first quoted fields, one per setting, each searched from just after the
// previous one.
std::optional<Fields> QuotedFields(std::string_view line) {
    Fields fields;
    std::size_t start = 0;
    for (auto& field : fields) {
        const std::size_t open = line.find('"', start);
        const std::size_t close = open == line.npos ? line.npos : line.find('"', open + 1);
        if (close == line.npos)
            return std::nullopt;
        field = line.substr(open + 1, close - open - 1);
        start = close + 1;
    }
    return fields;
}

// What the echo writes before each setting.
constexpr std::string_view EchoLabels[] = {
    "Path = ", "| Alias = ", "\nKind = ", "| Mask  = ", "\nAttrib = ", "| Log = ", "| Wav = "};
static_assert(std::size(EchoLabels) == SettingCount);

void Echo(std::ostream& echo, const DirSettings& settings) {
    std::size_t field = 0;
    ForEachSetting(settings,
                   [&](const auto& value) { echo << EchoLabels[field++] << FieldText(value); });
    echo << '\n';
}

// Takes one line after the header into dirs.
void ReadRecordLine(DirArray& dirs, std::string_view line, std::ostream& echo) {
    const auto fields = QuotedFields(line);
    DirSettings settings;
    bool complete = fields.has_value();
    std::size_t field = 0;
    if (complete)
        ForEachSetting(settings, [&](auto& value) {
            complete = FromFieldText((*fields)[field++], value) && complete;
        });
    if (!complete)
        return;
    dirs.Add(MyDir(settings)); // dropped when the list is full
    Echo(echo, settings);
}

} // namespace

std::string FormatConfiguration(const DirArray& dirs) {
    std::string out;
    for (const std::string_view header : ConfigHeader) {
        out += header;
        out += LineEnd;
    }
    for (const MyDir& dir : dirs)
        AppendRecord(out, dir.Settings());
    return out;
}

int WriteConfiguration(const DirArray& dirs, const std::string& fileName) {
    return platform::ReplaceFileContents(fileName, FormatConfiguration(dirs));
}

int ReadConfiguration(DirArray& dirs, const std::string& fileName, std::ostream& echo) {
    std::size_t lineCount = 0;
    const TextLines::LineHandler onLine = [&](std::string_view line) {
        if (++lineCount > std::size(ConfigHeader))
            ReadRecordLine(dirs, line, echo);
    };
    TextLines lines;
    const int error = platform::ReadFileChunks(
        fileName, [&](std::string_view bytes) { return lines.Feed(bytes, onLine); });
    if (error == 0)
        lines.Finish(onLine);
    return error;
}
