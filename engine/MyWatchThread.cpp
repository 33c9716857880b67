#include "engine/MyWatchThread.h"

#include "engine/EventLog.h"

#include <cerrno>
#include <exception>
#include <new>
#include <system_error>

namespace {

// The errno that stands for an exception stopped at the edge of a thread.
int ErrnoOf(const std::exception_ptr& caught) {
    try {
        std::rethrow_exception(caught);
    } catch (const std::system_error& error) {
        return error.code().value();
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    } catch (...) {
        return ENOTRECOVERABLE;
    }
}

} // namespace

MyWatchThread::MyWatchThread(std::unique_ptr<platform::SoundPlayer> sound)
    : sound_(std::move(sound)) {}
MyWatchThread::~MyWatchThread() = default;

std::thread MyWatchThread::Start() {
    try {
        // Watching starts before Start returns, so a change made right after it is never missed.
        watch_ = std::make_unique<platform::DirWatch>(Dirs.Watched());
        for (std::size_t slot = 0; slot < Dirs.Count(); ++slot) {
            if (watch_->Error(slot) != 0)
                ReportWatchError(slot, watch_->Error(slot));
        }
        return std::thread([this] {
            try {
                lastRunResult_ = Run();
            } catch (...) {
                lastRunResult_ = ErrnoOf(std::current_exception());
            }
        });
    } catch (...) {
        lastRunResult_ = ErrnoOf(std::current_exception());
    }
    return {};
}

void MyWatchThread::RequestStop() {
    if (watch_)
        watch_->RequestStop();
}

int MyWatchThread::Run() {
    for (;;) {
        const platform::WaitResult round = Step(*watch_);
        if (round.status == platform::WaitResult::Status::Failed)
            return round.error;
        if (round.status == platform::WaitResult::Status::Stopped)
            return 0;
    }
}

platform::WaitResult MyWatchThread::Step(platform::DirWatch& watch) {
    platform::WaitResult waited = watch.Wait();
    for (const std::size_t slot : waited.ready)
        Pass(Dirs[slot], watch.TakeChanges(slot));
    for (const auto& [slot, error] : waited.lost)
        ReportWatchError(slot, error);
    return waited;
}

void MyWatchThread::Pass(MyDir& dir, const platform::ChangeSet& changes) {
    const std::string stamp = LocalTimeStamp();
    dir.Rescan(changes);
    const ScanResult found = dir.Found();
    // A share's listing that found nothing stands for no notification: the log is not touched.
    if (changes.listing && !found.HoldsName())
        return;
    const LogWrite written = dir.WriteLog(found, stamp);
    if (lineSink_) {
        for (const std::string& line : written.lines)
            lineSink_(line);
    }
    if (!dir.Wav().empty() && found.HoldsName())
        sound_->PlayAsync(dir.Wav());
}

void MyWatchThread::ReportWatchError(std::size_t slot, int error) const {
    if (watchErrorSink_)
        watchErrorSink_(Dirs[slot].Path(), error);
}

void MyWatchThread::SetLineSink(std::function<void(const std::string&)> sink) {
    lineSink_ = std::move(sink);
}

void MyWatchThread::SetWatchErrorSink(std::function<void(const std::string&, int)> sink) {
    watchErrorSink_ = std::move(sink);
}
