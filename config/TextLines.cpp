#include "config/TextLines.h"

#include <algorithm>

namespace {

constexpr char CtrlZ = '\x1a';
// White space skipped before a line (CR bytes are dropped everywhere).
constexpr std::string_view LeadingSkip = " \t\n\v\f\r";
constexpr std::string_view LineStops = "\r\n\x1a";

} // namespace

bool TextLines::Feed(std::string_view bytes, const LineHandler& onLine) {
    while (!ended_ && !bytes.empty()) {
        if (line_.empty()) {
            const std::size_t start = std::min(bytes.find_first_not_of(LeadingSkip), bytes.size());
            fileLine_ += static_cast<std::size_t>(std::ranges::count(bytes.substr(0, start), '\n'));
            if (start == bytes.size())
                return true;
            bytes.remove_prefix(start);
            lineStart_ = fileLine_;
        }
        const std::size_t stop = bytes.find_first_of(LineStops);
        line_.append(bytes.substr(0, stop));
        if (stop == bytes.npos)
            return true;
        const char c = bytes[stop];
        bytes.remove_prefix(stop + 1);
        if (c == CtrlZ)
            ended_ = true;
        else if (c == '\n') {
            Finish(onLine);
            ++fileLine_;
        }
    }
    return !ended_;
}

void TextLines::Finish(const LineHandler& onLine) {
    if (!line_.empty())
        onLine(line_, lineStart_);
    line_.clear();
}
