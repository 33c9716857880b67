#include "engine/MyWatchThread.h"

#include "engine/EventLog.h"
#include "engine/WatchPass.h"
#include "platform/DirWatch.h"

#include <cerrno>
#include <chrono>
#include <cstring>
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

MyWatchThread::MyWatchThread(std::unique_ptr<platform::SoundPlayer> sound, LogKeeping keeping)
    : sound_(std::move(sound)), logs_(keeping) {}

MyWatchThread::~MyWatchThread() {
    Stop();
}

bool MyWatchThread::Start() {
    Stop(); // a run still going ends first
    try {
        // Watching starts before Start returns, so a change made right after it is never missed.
        watch_ = std::make_unique<platform::DirWatch>(Dirs.Watched());
        states_.assign(Dirs.Count(), {});
        for (std::size_t slot = 0; slot < Dirs.Count(); ++slot) {
            if (watch_->Error(slot) != 0)
                SetWatch(slot, DirState::Watch::NotWatched, watch_->Error(slot));
        }
        RefreshLogStates();
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
    if (states_.size() != Dirs.Count())
        states_.assign(Dirs.Count(), {});
    platform::WaitResult waited = watch.Wait(logs_.RetryDue());
    for (const std::size_t slot : waited.ready) {
        const std::string stamp = LocalTimeStamp();
        ReportPass(slot, RunPass(Dirs[slot], watch.TakeChanges(slot), *sound_, stamp, logs_));
    }
    for (const auto& [slot, error] : waited.lost)
        SetWatch(slot, DirState::Watch::NotWatched, error);
    for (const auto& [slot, error] : waited.answering)
        SetWatch(slot, error != 0 ? DirState::Watch::NotAnswering : DirState::Watch::Watched,
                 error);
    // The last run's end is a try too: the log may be back, with no pass since.
    const auto due = logs_.RetryDue();
    if (due && (std::chrono::steady_clock::now() >= *due ||
                waited.status == platform::WaitResult::Status::Stopped)) {
        for (const auto& [log, append] : logs_.Retry())
            ReportLog(log, append);
    }
    RefreshLogStates();
    return waited;
}

void MyWatchThread::ReportPass(std::size_t slot, const PassOutcome& outcome) const {
    ReportLog(Dirs[slot].Log(), outcome.logged);
    static const std::vector<std::string> none;
    if (listener_ && outcome.found.HoldsName())
        listener_->Reported(slot, outcome.found.added ? *outcome.found.added : none,
                            outcome.found.removed ? *outcome.found.removed : none);
}

void MyWatchThread::ReportLog(const std::string& log, const LogAppend& append) const {
    if (!listener_)
        return;
    if (!append.appended.empty())
        listener_->Appended(log, append.appended);
    if (append.episode == LogAppend::Episode::Began)
        listener_->LogFailing(log, std::strerror(append.error));
    else if (append.episode == LogAppend::Episode::Ended)
        listener_->LogRecovered(log, append.late, append.lost);
}

void MyWatchThread::SetWatch(std::size_t slot, DirState::Watch watch, int error) {
    DirState state = states_[slot];
    state.watch = watch;
    state.watchReason = error != 0 ? platform::DescribeWatchError(error) : std::string();
    Tell(slot, state);
}

// Every slot logging where lines wait learns why and how many.
void MyWatchThread::RefreshLogStates() {
    for (std::size_t slot = 0; slot < states_.size(); ++slot) {
        const auto [error, kept] = logs_.Status(Dirs[slot].Log());
        DirState state = states_[slot];
        state.logReason = error != 0 ? std::strerror(error) : std::string();
        state.keptLines = kept;
        Tell(slot, state);
    }
}

void MyWatchThread::Tell(std::size_t slot, const DirState& state) {
    if (states_[slot] == state)
        return;
    states_[slot] = state;
    if (listener_)
        listener_->StateChanged(slot, state);
}
