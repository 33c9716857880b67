#include "ui/DirWindow.h"

#include "ui/Commands.h"
#include "ui/Prompts.h"
#include "ui/Text.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace {

// The list keeps this margin to the window's edges and fills the rest of the client area.
constexpr int ListMargin = 10;

// Like the platform's single-selection list box, a click never clears the selected line: a
// Ctrl+click or Ctrl+Space on it leaves it selected.
class SingleLineList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        const auto command = QListWidget::selectionCommand(index, event);
        const bool clears = command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle);
        return clears ? QItemSelectionModel::NoUpdate : command;
    }
};

} // namespace

DirWindow::DirWindow(std::unique_ptr<TrayShell> trayShell,
                     std::unique_ptr<platform::SoundPlayer> sound)
    : QWidget(nullptr), TrayIcon(std::move(trayShell)), List(new SingleLineList(this)),
      Watch(std::move(sound)) {
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setSortingEnabled(false);
    List->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    List->setTextElideMode(Qt::ElideNone);
    List->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    connect(List, &QListWidget::itemSelectionChanged, this, &DirWindow::LoadSelection);
    connect(List, &QListWidget::itemDoubleClicked, this, &DirWindow::OnListDoubleClick);

    Watch.ReadConfiguration(ConfigFileName);
    StartWatch();
}

DirWindow::~DirWindow() {
    StopWatch();
    Pending.reset();
    disconnect(List, nullptr, this, nullptr);
    delete List;
    List = nullptr;
    if (TrayIcon.Shown())
        TrayIcon.RemoveIcon();
}

void DirWindow::Create() {
    for (const MyDir& dir : Watch.Dirs)
        AppendLine(dir.Path());
    SelectLine(0);
    LoadSelection();
    TrayIcon.AddIcon(this, TrayIconId, QIcon(":/MAIN_ICON"), "Peerwell", TrayNotifyMessage);
}

bool DirWindow::CanClose() {
    const auto answer = Prompts::Show(this, QMessageBox::Critical, "Confirm",
                                      "Do you really want to terminate Peerwell program?",
                                      QMessageBox::Yes | QMessageBox::No);
    closeApproved_ = answer == QMessageBox::Yes;
    return closeApproved_;
}

void DirWindow::CmExit() {
    if (CanClose())
        window()->close();
}

void DirWindow::Command(int id) {
    if (!CommandEnabled(id))
        return;
    switch (id) {
    case CM_EXIT:
        return CmExit();
    case CM_VIEW:
        return CmView();
    case CM_ADD:
        return CmAdd();
    case CM_DELETE:
        return CmDelete();
    case CM_OPTIONS:
        return CmOptions();
    case CM_LOGFILE:
        return CmLogFile();
    case CM_WAVFILE:
        return CmWavFile();
    case CM_ABOUT:
        return CmAbout();
    }
}

bool DirWindow::CommandEnabled(int id) const {
    switch (id) {
    case CM_EXIT:
    case CM_ABOUT:
        return true;
    case CM_VIEW:
        return !Log.empty();
    case CM_ADD:
        return Watch.Dirs.Count() < MaxWatchedDirs && !Pending;
    case CM_DELETE:
    case CM_OPTIONS:
    case CM_LOGFILE:
    case CM_WAVFILE:
        return SelectedLine() >= 0;
    }
    return false;
}

void DirWindow::OnTrayNotify(unsigned /*id*/, QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::DoubleClick)
        return;
    QWidget* frame = window();
    if (frame->isVisible())
        frame->hide();
    else
        frame->showNormal();
}

bool DirWindow::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(TrayNotifyMessage)) {
        const auto* notify = static_cast<TrayNotifyEvent*>(event);
        OnTrayNotify(notify->Id, notify->Reason);
        return true;
    }
    return QWidget::event(event);
}

void DirWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    List->setGeometry(
        rect().marginsRemoved(QMargins(ListMargin, ListMargin, ListMargin, ListMargin)));
}

void DirWindow::LoadSelection() {
    const int line = SelectedLine();
    if (line < 0)
        ClearFields();
    else if (line == PendingLine() && Pending)
        Pending->Get(Path, Alias, Kind, Mask, Attrib, Log, Wav);
    else if (line < PendingLine())
        Watch.Dirs[static_cast<std::size_t>(line)].Get(Path, Alias, Kind, Mask, Attrib, Log, Wav);
}

void DirWindow::ClearFields() {
    Wav.clear();
    Log.clear();
    Mask.clear();
    Alias.clear();
    Path.clear();
    Kind = '*';
    Attrib = 0;
}

int DirWindow::SelectedLine() const {
    const auto selected = List->selectedItems();
    return selected.isEmpty() ? -1 : List->row(selected.first());
}

int DirWindow::LineCount() const {
    return List->count();
}

void DirWindow::AppendLine(const std::string& text) {
    List->addItem(ToQString(text));
}

void DirWindow::InsertLine(int line, const std::string& text) {
    List->insertItem(line, ToQString(text));
}

void DirWindow::DeleteLine(int line) {
    const QSignalBlocker quiet(List);
    delete List->takeItem(line);
}

void DirWindow::SelectLine(int line) {
    const QSignalBlocker quiet(List);
    if (line >= 0 && line < List->count())
        List->setCurrentRow(line);
    else {
        List->clearSelection();
        List->setCurrentRow(-1);
    }
}

void DirWindow::SetFromFields(MyDir& record) const {
    record.Set(Path, Alias, Kind, Mask, Attrib, Log, Wav);
}

void DirWindow::StopWatch() {
    Watch.RequestStop();
    if (WatchRun.joinable())
        WatchRun.join();
}

void DirWindow::StartWatch() {
    WatchRun = Watch.Start();
}
