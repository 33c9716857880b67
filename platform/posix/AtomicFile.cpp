#include "platform/AtomicFile.h"

namespace platform {

int ReplaceFileContents(const std::string&, const std::string&) {
    return 0;
}

} // namespace platform
