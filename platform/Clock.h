#pragma once

#include <ctime>

namespace platform {

// The local date and time now.
std::tm LocalNow();

} // namespace platform
