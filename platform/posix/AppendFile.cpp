#include "platform/AppendFile.h"

namespace platform {

int AppendLines(const std::string&, const std::vector<std::string>&) {
    return 0;
}

} // namespace platform
