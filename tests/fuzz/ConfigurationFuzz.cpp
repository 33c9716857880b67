// Reads arbitrary bytes as "peer.cfg", then writes what was read and reads that again: the
// second reading must give the same file and the same records, and skip no line.
#include "config/Configuration.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace {

char workingDirectory[] = "/tmp/peerwell-fuzz-XXXXXX";

// A new file each time: a file truncated and written again is flushed to disk when closed.
std::string Reread(const std::string& bytes, DirArray& dirs, std::size_t& skipped) {
    ::unlink("peer.cfg");
    std::ofstream("peer.cfg", std::ios::binary) << bytes;
    std::ostream discard(nullptr);
    skipped = ReadConfiguration(dirs, "peer.cfg", discard).skipped.size();
    return FormatConfiguration(dirs);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // An empty working directory, so that relative paths in the input find nothing to list.
    if (::mkdtemp(workingDirectory) == nullptr || ::chdir(workingDirectory) != 0)
        std::abort();
    std::atexit([] { ::unlink("peer.cfg"), ::rmdir(workingDirectory); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DirArray first, second;
    std::size_t skipped = 0;
    const std::string written =
        Reread(std::string(reinterpret_cast<const char*>(data), size), first, skipped);
    if (Reread(written, second, skipped) != written || second.Count() != first.Count() ||
        skipped != 0) {
        std::fprintf(stderr, "a written configuration reads back differently\n");
        std::abort();
    }
    return 0;
}
