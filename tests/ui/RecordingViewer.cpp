// A stand-in for a text viewer: writes its arguments, NUL-terminated each, to the file named by
// RECORDING_VIEWER_OUT, waits until the file named by RECORDING_VIEWER_RELEASE exists (when
// set), and exits with the status in RECORDING_VIEWER_STATUS (0 when unset).
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool WaitForRelease(const std::string& releaseFile) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(releaseFile)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    std::ofstream out(Environment("RECORDING_VIEWER_OUT"), std::ios::binary | std::ios::trunc);
    for (int i = 0; i < argc; ++i)
        out << argv[i] << '\0';
    out.close();
    const std::string releaseFile = Environment("RECORDING_VIEWER_RELEASE");
    if (!releaseFile.empty() && !WaitForRelease(releaseFile))
        return 99;
    return std::atoi(Environment("RECORDING_VIEWER_STATUS"));
}
