#include "ui/DirWindow.h"

#include "ui/AboutDialog.h"
#include "ui/Commands.h"
#include "ui/DirectoryDialog.h"
#include "ui/LogViewer.h"
#include "ui/Prompts.h"
#include "ui/Text.h"

#include <QListWidget>

namespace {

// The file-name field of the platform's file dialog held 260 characters with the zero.
constexpr qsizetype MaxInitialFile = 259;

// Writes the current-record fields into the record on the line: the pending record as it is,
// a listed record with the watch stopped and peer.cfg saved.
void StoreFields(DirWindow& window, int line) {
    if (window.IsPendingLine(line))
        window.SetFromFields(*window.Pending);
    else
        window.ChangeList(
            [&] { window.SetFromFields(window.Watch.Dirs[static_cast<std::size_t>(line)]); });
}

// Asks for a file for the field (Log or Wav) of the selected record and stores the choice.
void ChooseFile(DirWindow& window, std::string& field, Prompts::FileRequest request) {
    const int line = window.SelectedLine();
    if (line < 0)
        return;
    request.initialFile = ToQString(field).left(MaxInitialFile);
    const std::optional<QString> chosen = Prompts::GetOpenFileName(&window, request);
    if (!chosen)
        return;
    field = ToStdString(*chosen);
    StoreFields(window, line);
}

} // namespace

void DirWindow::CmAdd() {
    if (!CommandEnabled(CM_ADD))
        return;
    Pending = std::make_unique<MyDir>();
    AppendLine({});
    SelectLine(LineCount() - 1);
    LoadSelection();
}

void DirWindow::CmDelete() {
    if (SelectedLine() < 0)
        return;
    const auto answer = Prompts::Show(this, QMessageBox::Critical, "Confirm",
                                      "Are you sure to remove record from directories list?",
                                      QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    const int line = SelectedLine();
    if (IsPendingLine(line))
        Pending.reset();
    else
        ChangeList([&] { Watch.Dirs.Remove(static_cast<std::size_t>(line)); });
    DeleteLine(line);
    SelectLine(0);
    LoadSelection();
}

void DirWindow::CmOptions() {
    const int line = SelectedLine();
    if (line < 0)
        return;
    DirectoryDialog dialog(this, Path, Alias, Mask, Kind);
    if (dialog.Run() != DirectoryDialog::IdOk) {
        LoadSelection(); // also undoes a Path stored by a refused OK
        return;
    }
    const bool pending = IsPendingLine(line);
    StoreFields(*this, line);
    DeleteLine(line);
    InsertLine(line, Path);
    SelectLine(line);
    if (pending && !Path.empty()) {
        ChangeList([&] { Watch.Dirs.Add(*Pending); });
        Pending.reset();
    }
}

void DirWindow::CmLogFile() {
    ChooseFile(*this, Log,
               {.title = "Get LOG - file",
                .filters = {"log files (*.log)", "all files (*.*)"},
                .defaultSuffix = "log",
                .initialFile = {},
                .mustExist = false});
}

void DirWindow::CmWavFile() {
    ChooseFile(*this, Wav,
               {.title = "Browse WAV - file",
                .filters = {"wav files (*.wav)"},
                .defaultSuffix = {},
                .initialFile = {},
                .mustExist = true});
}

void DirWindow::CmView() {
    if (!Log.empty())
        RunLogViewer();
}

void DirWindow::RunLogViewer() {
    if (LogViewer::Run(ToQString(Log)) < 0)
        Prompts::Show(this, QMessageBox::NoIcon, "Error", "Can not use external viewer!",
                      QMessageBox::Ok);
}

void DirWindow::OnListDoubleClick() {
    if (Log.empty())
        Prompts::Show(this, QMessageBox::Information, "Information",
                      "This directory have not LOG-file!", QMessageBox::Ok);
    else
        RunLogViewer();
}

void DirWindow::CmAbout() {
    AboutDialog about(this);
    about.exec();
}
