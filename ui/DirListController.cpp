#include "ui/DirListController.h"

#include "config/Configuration.h"
#include "platform/FileChecks.h"
#include "ui/CommandTable.h"

#include <ostream>
#include <system_error>
#include <utility>
#include <variant>

namespace {

// The file-name field of the platform's file dialog held 260 characters with the zero.
constexpr std::size_t MaxInitialFile = 259;

// Why a chosen file can't be used, or an empty string when it can. A sound must exist and is
// only read; a log only needs its folder (the first event makes the file) but is written to.
std::string FileRefusal(const std::string& fileName, bool mustExist) {
    if (fileName.find('"') != std::string::npos)
        return "A file name can't contain a double quote (\").";
    const std::string file = platform::AbsolutePath(fileName);
    if (mustExist)
        return platform::IsRegularFile(file) ? "" : "This file does not exist:\n" + fileName;
    if (!platform::IsDirectory(platform::FolderOf(file)))
        return "The folder of this file does not exist:\n" + fileName;
    if (platform::IsReadOnly(file))
        return "This file is read-only:\n" + fileName;
    return {};
}

// The reason and what it means for a save of the list that failed.
std::string NotSaved(int error) {
    return std::generic_category().message(error) + "\nThe change holds until Peerwell ends.";
}

std::string SaveFailure(int error) {
    return "The list of directories could not be saved to\n" +
           platform::AbsolutePath(ConfigFileName) + ":\n" + NotSaved(error);
}

std::string BackupFailure(int error) {
    return "The list of directories was not saved: before its first save, " +
           std::string(ConfigFileName) + " is kept as it was read, with its skipped lines, as\n" +
           platform::AbsolutePath(BackupFileName(ConfigFileName)) + "\nand that failed:\n" +
           NotSaved(error);
}

// A box has room for this many skipped lines, each cut to about this many bytes.
constexpr std::size_t ShownSkippedLines = 10;
constexpr std::size_t ShownLineText = 60;

std::string SkippedLinesWarning(const std::vector<SkippedLine>& skipped) {
    std::string text =
        "Peerwell skipped these lines of\n" + platform::AbsolutePath(ConfigFileName) + ":\n";
    for (std::size_t i = 0; i < skipped.size() && i < ShownSkippedLines; ++i)
        text += "\n" + DescribeSkippedLine(skipped[i], ShownLineText);
    if (skipped.size() > ShownSkippedLines)
        text += "\n... and " + std::to_string(skipped.size() - ShownSkippedLines) + " more.";
    return text +
           "\n\nThey are not watched. The first save of the list leaves them out; before "
           "it, the file as it is now is kept as " +
           BackupFileName(ConfigFileName) + " beside it.";
}

} // namespace

DirListController::DirListController(UserPrompts& prompts, std::ostream& echo,
                                     std::unique_ptr<platform::SoundPlayer> sound)
    : prompts_(prompts), watch_(std::move(sound)) {
    skipped_ = ReadConfiguration(watch_.Dirs, ConfigFileName, echo).skipped;
    keepBackup_ = !skipped_.empty();
    echo.flush();
    watch_.SetListener(this);
    StartWatch();
}

DirListController::~DirListController() = default;

void DirListController::SetListChanged(std::function<void()> listChanged) {
    listChanged_ = std::move(listChanged);
}

void DirListController::ListChanged() const {
    if (listChanged_)
        listChanged_();
}

void DirListController::Create() {
    Select(0);
}

std::vector<std::string> DirListController::Lines() const {
    std::vector<std::string> lines;
    for (const MyDir& dir : watch_.Dirs)
        lines.push_back(dir.Path());
    if (pending_)
        lines.push_back(pending_->Path());
    return lines;
}

int DirListController::SelectedLine() const {
    return selected_;
}

void DirListController::Select(int line) {
    const int count = PendingLine() + (pending_ ? 1 : 0);
    selected_ = line >= 0 && line < count ? line : -1;
    LoadSelection();
}

void DirListController::LoadSelection() {
    if (selected_ < 0) {
        current_ = DirSettings();
        current_.Mask.clear();
    } else if (IsPendingLine(selected_))
        current_ = pending_->Settings();
    else if (selected_ < PendingLine())
        current_ = watch_.Dirs[static_cast<std::size_t>(selected_)].Settings();
}

int DirListController::PendingLine() const {
    return static_cast<int>(watch_.Dirs.Count());
}

bool DirListController::IsPendingLine(int line) const {
    return pending_ && line == PendingLine();
}

bool DirListController::CommandEnabled(int id) const {
    const CommandInfo* command = FindCommand(id);
    if (command == nullptr)
        return false;
    switch (command->enabling) {
    case Enabling::Always:
        return true;
    case Enabling::LogChosen:
        return !current_.Log.empty();
    case Enabling::RoomToAdd:
        return watch_.Dirs.Count() < MaxWatchedDirs && !pending_;
    case Enabling::LineSelected:
        return selected_ >= 0;
    }
    return false;
}

void DirListController::Command(int id) {
    using Handler = void (DirListController::*)();
    static constexpr std::pair<int, Handler> Handlers[] = {
        {CM_VIEW, &DirListController::RunLogViewer}, {CM_ADD, &DirListController::CmAdd},
        {CM_DELETE, &DirListController::CmDelete},   {CM_OPTIONS, &DirListController::CmOptions},
        {CM_LOGFILE, &DirListController::CmLogFile}, {CM_WAVFILE, &DirListController::CmWavFile},
        {CM_NOTIFY, &DirListController::CmNotify},
    };
    if (!CommandEnabled(id))
        return;
    for (const auto& [command, handler] : Handlers)
        if (command == id)
            return (this->*handler)();
}

bool DirListController::QueryClose() {
    if (!closeApproved_)
        closeApproved_ = prompts_.Confirm(CloseQuestion());
    return closeApproved_;
}

void DirListController::WarnOfSkippedLines() {
    if (!skipped_.empty())
        prompts_.ShowWarning(SkippedLinesWarning(std::exchange(skipped_, {})));
}

std::string DirListController::CloseQuestion() const {
    const std::string waiting = status_.WaitingLines();
    return "Do you really want to terminate Peerwell program?" +
           (waiting.empty() ? "" : "\n\n" + waiting);
}

void DirListController::OpenLog() {
    if (current_.Log.empty())
        prompts_.ShowInformation("This directory have not LOG-file!");
    else
        RunLogViewer();
}

void DirListController::RunLogViewer() {
    if (!prompts_.ViewLog(current_.Log))
        prompts_.ShowError("Can not use external viewer!", ErrorIcon::None);
}

void DirListController::CmAdd() {
    pending_.emplace();
    selected_ = PendingLine();
    LoadSelection();
    ListChanged();
}

void DirListController::CmDelete() {
    if (!prompts_.Confirm("Are you sure to remove record from directories list?"))
        return;
    const int line = selected_;
    if (IsPendingLine(line))
        pending_.reset();
    else
        ChangeList([&] { watch_.Dirs.Remove(static_cast<std::size_t>(line)); });
    Select(0);
    ListChanged();
}

void DirListController::CmOptions() {
    const int line = selected_;
    if (!prompts_.EditDirectory(current_)) {
        LoadSelection(); // also undoes a Path stored by a refused OK
        return;
    }
    const bool pending = IsPendingLine(line);
    StoreCurrent(line);
    if (pending && !current_.Path.empty()) {
        ChangeList([&] { watch_.Dirs.Add(*pending_); });
        pending_.reset();
    }
    ListChanged();
}

void DirListController::CmLogFile() {
    ChooseFile(&DirSettings::Log,
               {.title = "Get LOG - file",
                .filters = {{"log files (*.log)", "*.log"}, {"all files (*.*)", "*.*"}},
                .defaultSuffix = "log",
                .initialFile = {},
                .mustExist = false,
                .refusal = {}});
}

void DirListController::CmWavFile() {
    FileRequest request{.title = "Browse WAV - file",
                        .filters = {},
                        .defaultSuffix = {},
                        .initialFile = {},
                        .mustExist = true,
                        .refusal = {}};
    for (auto& [description, pattern] : platform::SoundFileFilters())
        request.filters.push_back({description, pattern});
    ChooseFile(&DirSettings::Wav, std::move(request));
}

// Asks for a file for the field (Log or Wav) of the selected record and stores the choice.
void DirListController::ChooseFile(std::string DirSettings::*field, FileRequest request) {
    const int line = selected_;
    request.initialFile = (current_.*field).substr(0, MaxInitialFile);
    request.refusal = [mustExist = request.mustExist](const std::string& path) {
        return FileRefusal(path, mustExist);
    };
    const std::optional<std::string> chosen = prompts_.ChooseFile(request);
    if (!chosen)
        return;
    // A view whose dialog could not refuse the choice hands it on; it is refused here.
    if (const std::string refusal = request.refusal(*chosen); !refusal.empty())
        return prompts_.ShowError(refusal, ErrorIcon::Stop);
    current_.*field = *chosen;
    StoreCurrent(line);
}

// Writes the current-record fields into the record on the line: the pending record as it is,
// a listed record with the watch stopped and peer.cfg saved.
void DirListController::StoreCurrent(int line) {
    if (IsPendingLine(line))
        pending_->Set(current_);
    else
        ChangeList([&] { watch_.Dirs[static_cast<std::size_t>(line)].Set(current_); });
}

// Every change of the list or of a record in it: stop and join the watch, change, save peer.cfg,
// start the watch again. A failed save is reported; the change holds in memory.
template <class Change> void DirListController::ChangeList(Change change) {
    watch_.Stop();
    change();
    const std::string failure = Save();
    RestartWatch();
    if (failure.empty())
        return;
    ListChanged(); // the box stands over the list as changed
    prompts_.ShowError(failure, ErrorIcon::Stop);
}

// Writes peer.cfg; until the first write that works after lines were skipped, the file is kept
// as it is first, and no write is made without that copy. Returns why it failed, or nothing.
std::string DirListController::Save() {
    if (keepBackup_)
        if (const int error = KeepBackup(ConfigFileName))
            return BackupFailure(error);
    if (const int error = WriteConfiguration(watch_.Dirs, ConfigFileName))
        return SaveFailure(error);
    keepBackup_ = false;
    return {};
}

// Every directory is well until the run says otherwise; a run that could not start says that
// of each of them.
void DirListController::StartWatch() {
    status_.Restart(watch_.Dirs);
    if (watch_.Start())
        return;
    const std::string reason =
        "the watch could not start: " + platform::DescribeWatchError(watch_.LastRunResult());
    for (std::size_t slot = 0; slot < watch_.Dirs.Count(); ++slot)
        StateChanged(slot, {DirState::Watch::NotWatched, reason, {}, 0});
}

// After a change of the list, with the watch stopped. A failure that lasts over the restart
// is not announced again: the new run retells it during its start, applied here.
void DirListController::RestartWatch() {
    const std::set<std::string> failingBefore = status_.FailingPaths();
    watchEvents_.Take(); // the stopped run's slots need not match the list any more
    StartWatch();
    ApplyWatchEvents(failingBefore);
    ListChanged(); // the marks of the run before are gone
}

void DirListController::SetDesktop(DesktopShell* shell, Preferences* preferences) {
    shell_ = shell;
    preferences_ = preferences;
}

bool DirListController::LineMarked(int line) const {
    return line >= 0 && status_.Failing(static_cast<std::size_t>(line));
}

std::string DirListController::LineToolTip(int line) const {
    const std::vector<std::string> lines = Lines();
    if (line < 0 || line >= static_cast<int>(lines.size()))
        return {};
    if (!LineMarked(line))
        return lines[static_cast<std::size_t>(line)];
    return lines[static_cast<std::size_t>(line)] + '\n' +
           status_.Problems(static_cast<std::size_t>(line));
}

bool DirListController::CommandChecked(int id) const {
    return id == CM_NOTIFY && preferences_ && preferences_->NotifyOnArrival();
}

void DirListController::CmNotify() {
    if (!preferences_)
        return;
    const bool notify = !preferences_->NotifyOnArrival();
    preferences_->SetNotifyOnArrival(notify);
    if (!notify)
        arrivals_.Clear();
}

// The lines went to the log; the list has nothing to show of them.
void DirListController::Appended(const std::string&, std::span<const std::string>) {}

void DirListController::Reported(std::size_t slot, const std::vector<std::string>& added,
                                 const std::vector<std::string>& removed) {
    PassNames names{slot, added.size(), {}, removed.size(), {}};
    if (!added.empty())
        names.firstAdded = added.front();
    if (!removed.empty())
        names.firstRemoved = removed.front();
    watchEvents_.Push(std::move(names));
}

void DirListController::StateChanged(std::size_t slot, const DirState& state) {
    watchEvents_.Push(StateChange{slot, state});
}

void DirListController::SetWatchWake(std::function<void()> wake) {
    watchEvents_.SetWake(std::move(wake));
}

void DirListController::ApplyWatchEvents(const std::set<std::string>& failingBefore) {
    std::vector<std::string> failures;
    bool marksChanged = false;
    for (WatchEvent& event : watchEvents_.Take()) {
        if (auto* change = std::get_if<StateChange>(&event)) {
            marksChanged = true;
            if (status_.Set(change->slot, change->state) &&
                !failingBefore.contains(status_.Path(change->slot)))
                failures.push_back(status_.Problems(change->slot));
        } else {
            NoteArrivals(std::move(std::get<PassNames>(event)));
        }
    }
    if (marksChanged)
        ListChanged();
    if (shell_ && status_.TrayTip() != trayTip_) {
        trayTip_ = status_.TrayTip();
        shell_->ShowTrayTip(trayTip_);
    }
    if (shell_ && !failures.empty())
        shell_->Notify("Peerwell", JoinLines(failures), Notice::Problem);
    ShowArrivals();
}

void DirListController::NoteArrivals(PassNames names) {
    if (!preferences_ || !preferences_->NotifyOnArrival() || names.slot >= watch_.Dirs.Count())
        return;
    const DirSettings& dir = watch_.Dirs[names.slot].Settings();
    arrivals_.Add(dir.Path, LabelOf(dir), std::move(names));
}

void DirListController::ShowArrivals() {
    if (!shell_)
        return;
    const auto now = shell_->Now();
    const std::vector<std::string> due = arrivals_.TakeDue(now);
    if (!due.empty())
        shell_->Notify("Peerwell", JoinLines(due), Notice::Arrival);
    if (const auto next = arrivals_.NextDue())
        shell_->StartTimer(std::chrono::ceil<std::chrono::milliseconds>(*next - now));
}
