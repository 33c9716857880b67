// Reads arbitrary bytes as "peer.cfg", then writes what was read and reads that again: the
// second reading must give the same file and the same records.
#include "config/Configuration.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace {

// In memory where the system has /dev/shm.
char workingDirectory[] = "/dev/shm/peerwell-fuzz-XXXXXX";

void RemoveWorkingDirectory() {
    ::unlink("input.cfg");
    ::unlink("written.cfg");
    ::rmdir(workingDirectory);
}

// A new file each time: ext4 flushes a file that was truncated and written again to disk when
// it is closed, which costs each run milliseconds.
void WriteBytes(const char* file, const char* data, std::size_t size) {
    ::unlink(file);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // An empty working directory, so that relative paths in the input find nothing to list.
    if (::mkdtemp(workingDirectory) == nullptr) {
        std::strcpy(workingDirectory, "/tmp/peerwell-fuzz-XXXXXX");
        if (::mkdtemp(workingDirectory) == nullptr)
            std::abort();
    }
    if (::chdir(workingDirectory) != 0)
        std::abort();
    std::atexit(RemoveWorkingDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteBytes("input.cfg", reinterpret_cast<const char*>(data), size);
    std::ostream discard(nullptr);
    DirArray first;
    ReadConfiguration(first, "input.cfg", discard);

    const std::string written = FormatConfiguration(first);
    WriteBytes("written.cfg", written.data(), written.size());
    DirArray second;
    ReadConfiguration(second, "written.cfg", discard);
    if (second.Count() != first.Count() || FormatConfiguration(second) != written) {
        std::fprintf(stderr, "a written configuration reads back differently\n");
        std::abort();
    }
    return 0;
}
