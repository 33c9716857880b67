#include "engine/MyWatchThread.h"

#include "engine/EventLog.h"
#include "platform/DirNotifier.h"
#include "platform/StopEvent.h"
#include "platform/Wait.h"

#include <cerrno>
#include <exception>
#include <new>
#include <system_error>

namespace {

bool HoldsName(const std::vector<std::string>* names) {
    return names != nullptr && !names->empty();
}

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
        stop_ = std::make_unique<platform::StopEvent>();
        // Watching starts before Start returns, so a change made right after it is never missed.
        return std::thread([this, table = OpenWatches()]() mutable {
            try {
                lastRunResult_ = RunWith(table);
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
    if (stop_)
        stop_->Signal();
}

int MyWatchThread::Run() {
    WatchTable table = OpenWatches();
    return RunWith(table);
}

int MyWatchThread::RunWith(WatchTable& table) {
    if (!stop_)
        return EINVAL;
    for (;;) {
        const StepResult step = Step(table, *stop_);
        if (step.error != 0)
            return step.error;
        if (step.stopped)
            return 0;
    }
}

MyWatchThread::WatchTable MyWatchThread::OpenWatches() {
    WatchTable table;
    for (std::size_t i = 0; i < Dirs.Count(); ++i) {
        auto notifier = std::make_unique<platform::DirNotifier>(Dirs[i].Path());
        if (notifier->Error() != 0) {
            ReportWatchError(i, notifier->Error());
            notifier.reset();
        }
        table.push_back(std::move(notifier));
    }
    return table;
}

MyWatchThread::StepResult MyWatchThread::Step(WatchTable& table, platform::StopEvent& stop) {
    StepResult result;
    const platform::WaitResult waited = platform::WaitForChanges(table, stop);
    if (waited.error != 0) {
        result.error = waited.error;
        return result;
    }
    for (const std::size_t slot : waited.signalled) {
        if (Serve(table, slot))
            ++result.passes;
    }
    result.stopped = stop.Requested();
    return result;
}

bool MyWatchThread::Serve(WatchTable& table, std::size_t slot) {
    platform::DirNotifier& notifier = *table[slot];
    if (notifier.Drain() == platform::DirNotifier::DrainResult::Quiet)
        return false;
    Pass(Dirs[slot], notifier.TakeChanges());
    if (notifier.Error() != 0) {
        ReportWatchError(slot, notifier.Error());
        table[slot].reset();
    }
    return true;
}

void MyWatchThread::Pass(MyDir& dir, const platform::ChangeSet& changes) {
    const std::string stamp = LocalTimeStamp();
    dir.Rescan(changes);
    const auto* added = dir.GetAdded();
    const auto* removed = dir.GetRemoved();
    const LogWrite written = dir.WriteLog(stamp);
    if (lineSink_) {
        for (const std::string& line : written.lines)
            lineSink_(line);
    }
    if (!dir.Wav().empty() && (HoldsName(added) || HoldsName(removed)))
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
