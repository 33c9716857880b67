#include "platform/StopEvent.h"

namespace platform {

struct StopEvent::Impl {};

StopEvent::StopEvent() : impl_(std::make_unique<Impl>()) {}
StopEvent::~StopEvent() = default;
void StopEvent::Signal() {}

} // namespace platform
