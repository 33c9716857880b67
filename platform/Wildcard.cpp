#include "platform/Wildcard.h"

namespace platform {

bool MatchesMask(std::string_view, std::string_view) {
    return true;
}

} // namespace platform
