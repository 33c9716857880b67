// A stand-in for a text viewer: writes its arguments, NUL-terminated each, to the file named by
// RECORDING_VIEWER_OUT and exits with the status in RECORDING_VIEWER_STATUS (0 when unset).
#include <cstdlib>
#include <fstream>

namespace {

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

int main(int argc, char* argv[]) {
    std::ofstream out(Environment("RECORDING_VIEWER_OUT"), std::ios::binary | std::ios::trunc);
    for (int i = 0; i < argc; ++i)
        out << argv[i] << '\0';
    out.close();
    return std::atoi(Environment("RECORDING_VIEWER_STATUS"));
}
