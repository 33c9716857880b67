#include "config/Configuration.h"

#include "config/TextLines.h"
#include "platform/AtomicFile.h"
#include "platform/InputFile.h"

#include <array>
#include <optional>

namespace {

constexpr std::string_view Stars = "**************************************";
constexpr std::string_view Warning = "***   Do not change this file!!!   ***";
constexpr std::string_view LineEnd = "\r\n";
constexpr std::size_t HeaderLines = 3;
constexpr std::size_t FieldCount = 7;

void AppendQuoted(std::string& out, std::string_view value, std::string_view after) {
    out += '"';
    out += value;
    out += '"';
    out += after;
}

void AppendRecord(std::string& out, const MyDir& dir) {
    std::string path, alias, mask, log, wav;
    char kind = '*';
    std::int32_t attrib = 0;
    dir.Get(path, alias, kind, mask, attrib, log, wav);
    AppendQuoted(out, path, " ");
    AppendQuoted(out, alias, " ");
    AppendQuoted(out, std::string_view(&kind, 1), " ");
    AppendQuoted(out, mask, " ");
    AppendQuoted(out, std::to_string(attrib), " ");
    AppendQuoted(out, log, " ");
    AppendQuoted(out, wav, LineEnd);
}

bool IsNumberSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

using Fields = std::array<std::string_view, FieldCount>;

// The text of the first seven quoted fields, each searched from just after the previous one.
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

void Echo(std::ostream& echo, const Fields& f, char kind, std::int32_t attrib) {
    echo << "Path = " << f[0] << "| Alias = " << f[1] << '\n'
         << "Kind = " << kind << "| Mask  = " << f[3] << '\n'
         << "Attrib = " << attrib << "| Log = " << f[5] << "| Wav = " << f[6] << '\n';
}

// Takes one line after the header into dirs. A full list costs no baseline scan.
void ReadRecordLine(DirArray& dirs, std::string_view line, std::ostream& echo,
                    ConfigurationRead& result) {
    const auto fields = QuotedFields(line);
    if (!fields || (*fields)[2].empty()) {
        ++result.skipped;
        return;
    }
    const Fields& f = *fields;
    const char kind = f[2][0];
    const std::int32_t attrib = ParseAttrib(f[4]);
    ++result.records;
    if (dirs.Count() < DirArray::Capacity)
        dirs.Add(MyDir(std::string(f[0]), std::string(f[1]), kind, std::string(f[3]), attrib,
                       std::string(f[5]), std::string(f[6])));
    else
        ++result.dropped;
    Echo(echo, f, kind, attrib);
}

} // namespace

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

std::string FormatConfiguration(const DirArray& dirs) {
    std::string out;
    for (const std::string_view header : {Stars, Warning, Stars}) {
        out += header;
        out += LineEnd;
    }
    for (const MyDir& dir : dirs)
        AppendRecord(out, dir);
    return out;
}

int WriteConfiguration(const DirArray& dirs, const std::string& fileName) {
    return platform::ReplaceFileContents(fileName, FormatConfiguration(dirs));
}

ConfigurationRead ReadConfiguration(DirArray& dirs, const std::string& fileName,
                                    std::ostream& echo) {
    ConfigurationRead result;
    std::size_t lineCount = 0;
    const TextLines::LineHandler onLine = [&](std::string_view line) {
        if (++lineCount > HeaderLines)
            ReadRecordLine(dirs, line, echo, result);
    };
    TextLines lines;
    result.error = platform::ReadFileChunks(
        fileName, [&](std::string_view bytes) { return lines.Feed(bytes, onLine); });
    if (result.error == 0)
        lines.Finish(onLine);
    return result;
}
