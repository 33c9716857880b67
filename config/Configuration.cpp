#include "config/Configuration.h"

#include "config/TextLines.h"
#include "platform/AtomicFile.h"
#include "platform/InputFile.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iterator>

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

// A setting from its field's text; why the text can't give one, or an empty text when it can.
std::string FromFieldText(std::string_view text, std::string& value) {
    value = text;
    return {};
}
// The one setting of a single character is Kind.
std::string FromFieldText(std::string_view text, char& value) {
    if (text.empty())
        return "Kind is empty";
    value = text.front();
    return {};
}
std::string FromFieldText(std::string_view text, std::int32_t& value) {
    value = ParseAttrib(text);
    return {};
}

void AppendRecord(std::string& out, const DirSettings& settings) {
    std::size_t field = 0;
    ForEachSetting(settings, [&](const auto& value) {
        AppendQuoted(out, FieldText(value), ++field < SettingCount ? " " : LineEnd);
    });
}

using Fields = std::array<std::string_view, SettingCount>;

struct QuotedFields {
    Fields fields;
    std::size_t count = 0;  // fields found, at most one per setting
    bool openQuote = false; // a quote after the last field found is not closed
};

// The text of the first quoted fields, one per setting, each searched from just after the
// previous one.
QuotedFields FindQuotedFields(std::string_view line) {
    QuotedFields found;
    std::size_t start = 0;
    for (auto& field : found.fields) {
        const std::size_t open = line.find('"', start);
        if (open == line.npos)
            break;
        const std::size_t close = line.find('"', open + 1);
        found.openQuote = close == line.npos;
        if (found.openQuote)
            break;
        field = line.substr(open + 1, close - open - 1);
        start = close + 1;
        ++found.count;
    }
    return found;
}

std::string FieldShortage(const QuotedFields& found) {
    constexpr std::string_view Counts[] = {
        "no quoted field",    "one quoted field",   "two quoted fields", "three quoted fields",
        "four quoted fields", "five quoted fields", "six quoted fields"};
    static_assert(std::size(Counts) == SettingCount);
    return std::string(Counts[found.count]) + ", seven needed" +
           (found.openQuote ? "; a quote is not closed" : "");
}

// The settings of a record line; why the line gives none, or an empty text when it does.
std::string ParseRecordLine(std::string_view line, DirSettings& settings) {
    const QuotedFields found = FindQuotedFields(line);
    if (found.count < SettingCount)
        return FieldShortage(found);
    std::string reason;
    std::size_t field = 0;
    ForEachSetting(settings, [&](auto& value) {
        const std::string fieldReason = FromFieldText(found.fields[field++], value);
        if (reason.empty())
            reason = fieldReason;
    });
    return reason;
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

// Takes one line after the header into dirs, or names it as skipped.
void ReadRecordLine(DirArray& dirs, std::string_view text, std::size_t number,
                    ConfigurationRead& read, std::ostream& echo) {
    DirSettings settings;
    std::string reason = ParseRecordLine(text, settings);
    if (reason.empty()) {
        if (!dirs.Add(MyDir(settings)))
            reason = "the list holds " + std::to_string(DirArray::Capacity) + " records already";
        Echo(echo, settings);
    }
    if (!reason.empty())
        read.skipped.push_back({number, std::string(text), reason});
}

// A header line is never read as a record; one that holds a record is lost too, so it is named.
void ReadHeaderLine(std::string_view text, std::size_t number, ConfigurationRead& read) {
    DirSettings settings;
    if (ParseRecordLine(text, settings).empty())
        read.skipped.push_back(
            {number, std::string(text), "read as one of the three header lines"});
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

ConfigurationRead ReadConfiguration(DirArray& dirs, const std::string& fileName,
                                    std::ostream& echo) {
    ConfigurationRead read;
    std::size_t lineCount = 0;
    const TextLines::LineHandler onLine = [&](std::string_view text, std::size_t number) {
        if (++lineCount > std::size(ConfigHeader))
            ReadRecordLine(dirs, text, number, read, echo);
        else
            ReadHeaderLine(text, number, read);
    };
    TextLines lines;
    read.error = platform::ReadFileChunks(
        fileName, [&](std::string_view bytes) { return lines.Feed(bytes, onLine); });
    if (read.error == 0)
        lines.Finish(onLine);
    return read;
}

std::string DescribeSkippedLine(const SkippedLine& line, std::size_t maxText) {
    std::string text = line.text;
    if (text.size() > maxText) {
        std::size_t cut = maxText;
        // Not inside a character of UTF-8.
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text = text.substr(0, cut) + "...";
    }
    return "line " + std::to_string(line.number) + " (" + line.reason + "): " + text;
}

std::string BackupFileName(const std::string& fileName) {
    return fileName + ".bak";
}

int KeepBackup(const std::string& fileName) {
    std::string contents;
    const int error = platform::ReadFileChunks(fileName, [&](std::string_view bytes) {
        contents += bytes;
        return true;
    });
    if (error == ENOENT)
        return 0;
    return error != 0 ? error : platform::ReplaceFileContents(BackupFileName(fileName), contents);
}
