#include "engine/MyWatchThread.h"

#include "engine/EventLog.h"
#include "engine/WatchPass.h"

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

MyWatchThread::~MyWatchThread() {
    Stop();
}

bool MyWatchThread::Start() {
    Stop(); // a run still going ends first
    try {
        // Watching starts before Start returns, so a change made right after it is never missed.
        watch_ = std::make_unique<platform::DirWatch>(Dirs.Watched());
        for (std::size_t slot = 0; slot < Dirs.Count(); ++slot) {
            if (watch_->Error(slot) != 0)
                ReportWatchError(slot, watch_->Error(slot));
        }
        run_ = std::thread([this] {
            try {
                lastRunResult_ = Run();
            } catch (...) {
                lastRunResult_ = ErrnoOf(std::current_exception());
            }
        });
        return true;
    } catch (...) {
        lastRunResult_ = ErrnoOf(std::current_exception());
    }
    watch_.reset();
    return false;
}

void MyWatchThread::RequestStop() {
    if (watch_)
        watch_->RequestStop();
}

void MyWatchThread::Stop() {
    if (run_.joinable()) {
        RequestStop();
        run_.join();
    }
    watch_.reset();
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
    for (const std::size_t slot : waited.ready) {
        const std::string stamp = LocalTimeStamp();
        ReportPass(slot, RunPass(Dirs[slot], watch.TakeChanges(slot), *sound_, stamp));
    }
    for (const auto& [slot, error] : waited.lost)
        ReportWatchError(slot, error);
    return waited;
}

void MyWatchThread::ReportWatchError(std::size_t slot, int error) const {
    if (listener_)
        listener_->StateChanged(
            slot, {DirState::Watch::NotWatched, platform::DescribeWatchError(error), {}, 0});
}

void MyWatchThread::ReportPass(std::size_t slot, const PassOutcome& outcome) const {
    if (!listener_)
        return;
    const LogWrite& written = outcome.written;
    if (!written.lines.empty())
        listener_->Appended(Dirs[slot].Settings().Log, written.lines);
    if (outcome.found.HoldsName())
        listener_->Reported(slot, outcome.found.added.value_or(std::vector<std::string>{}),
                            outcome.found.removed.value_or(std::vector<std::string>{}));
}
