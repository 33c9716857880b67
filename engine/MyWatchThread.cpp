#include "engine/MyWatchThread.h"

#include "config/Configuration.h"
#include "platform/StopEvent.h"

#include <iostream>

MyWatchThread::MyWatchThread(std::unique_ptr<platform::SoundPlayer> sound)
    : sound_(std::move(sound)) {}
MyWatchThread::~MyWatchThread() = default;

std::thread MyWatchThread::Start() {
    stop_ = std::make_unique<platform::StopEvent>();
    return std::thread([this] { lastRunResult_ = Run(); });
}

void MyWatchThread::RequestStop() {
    if (stop_)
        stop_->Signal();
}

int MyWatchThread::Run() {
    return 0;
}

void MyWatchThread::ReadConfiguration(const std::string& fileName) {
    ::ReadConfiguration(Dirs, fileName, std::cout);
}

int MyWatchThread::WriteConfiguration(const std::string& fileName) const {
    return ::WriteConfiguration(Dirs, fileName);
}

void MyWatchThread::SetLineSink(std::function<void(const std::string&)> sink) {
    lineSink_ = std::move(sink);
}
