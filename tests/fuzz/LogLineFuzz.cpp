// Formats log lines from arbitrary labels and names: each must be exactly one line that reads
// back as the same name.
#include "engine/EventLog.h"
#include "tests/support/LogReplay.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Fail(const char* what, const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", what, testsupport::Printable(line).c_str());
    std::abort();
}

} // namespace

// The first byte picks the sign; the rest is the label, a NUL byte, then the name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const char sign = data[0] & 1 ? '+' : '-';
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string label = nul == std::string::npos ? "label" : rest.substr(0, nul);
    const std::string name = nul == std::string::npos ? rest : rest.substr(nul + 1);

    const std::string stamp = "2001.03.05 14:07";
    const std::string line = FormatLogLine(stamp, sign, label, name);
    if (line.find_first_of("\r\n") != std::string::npos)
        Fail("a line end inside a log line", line);
    if (name.empty())
        return 0;
    const auto event = testsupport::ParseLogLine(line, label);
    if (!event || event->name != name || event->sign != sign || event->stamp != stamp)
        Fail("a log line that does not read back", line);
    return 0;
}
