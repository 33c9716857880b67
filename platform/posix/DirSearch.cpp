#include "platform/DirSearch.h"

namespace platform {

char PathSeparator() {
    return '/';
}

bool SearchDirectory(const std::string&, std::int32_t,
                     const std::function<void(std::string_view)>&) {
    return false;
}

EntryCheck CheckEntry(const std::string&, std::string_view, std::string_view, std::int32_t) {
    return EntryCheck::Unknown;
}

} // namespace platform
