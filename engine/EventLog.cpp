#include "engine/EventLog.h"

std::string FormatTimeStamp(const std::tm&) {
    return "0000.00.00 00:00";
}
std::string LocalTimeStamp() {
    return "0000.00.00 00:00";
}
std::string FormatLogLine(std::string_view, char, std::string_view, std::string_view) {
    return {};
}
