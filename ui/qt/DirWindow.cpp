#include "ui/qt/DirWindow.h"

#include "ui/CommandTable.h"
#include "ui/FrameLayout.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/Text.h"

#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <iostream>

namespace {

constexpr unsigned TrayIconId = 1;
// The icon's mouse events arrive as events of this type.
constexpr unsigned TrayNotifyMessage = 1024;

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
    : QWidget(nullptr), trayIcon_(std::move(trayShell)), list_(new SingleLineList(this)),
      prompts_(this),
      controller_(std::make_unique<DirListController>(prompts_, std::cout, std::move(sound))) {
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSortingEnabled(false);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    connect(list_, &QListWidget::itemSelectionChanged, this, &DirWindow::OnSelectionChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { controller_->OpenLog(); });
    controller_->SetListChanged([this] { ShowList(); });
    controller_->SetDesktop(this, &preferences_);
    noticeTimer_.setSingleShot(true);
    connect(&noticeTimer_, &QTimer::timeout, this, [this] { controller_->TimerElapsed(); });
    CreateTrayMenu();
    // On the watch's thread: the events are applied on this one.
    controller_->SetWatchWake([this] {
        QMetaObject::invokeMethod(
            this, [this] { controller_->ApplyWatchEvents(); }, Qt::QueuedConnection);
    });
}

DirWindow::~DirWindow() {
    controller_.reset();
    disconnect(list_, nullptr, this, nullptr);
    delete list_;
    list_ = nullptr;
    if (trayIcon_.Shown())
        trayIcon_.RemoveIcon();
}

void DirWindow::Create() {
    controller_->Create();
    ShowList();
    trayIcon_.SetMenu(trayMenu_);
    trayIcon_.AddIcon(this, TrayIconId, QIcon(":/MAIN_ICON"), ToQString(controller_->TrayTip()),
                      TrayNotifyMessage);
    // Once the frame is on screen, over it.
    QTimer::singleShot(0, this, [this] { controller_->WarnOfSkippedLines(); });
}

bool DirWindow::QueryClose() {
    return controller_->QueryClose();
}

void DirWindow::CmExit() {
    if (QueryClose())
        window()->close();
}

void DirWindow::CmAbout() {
    AboutDialog about(this);
    about.exec();
}

void DirWindow::Command(int id) {
    if (!CommandEnabled(id))
        return;
    if (id == CM_EXIT)
        CmExit();
    else if (id == CM_ABOUT)
        CmAbout();
    else if (id == CM_SHOWHIDE)
        ToggleFrame();
    else
        controller_->Command(id);
}

bool DirWindow::CommandEnabled(int id) const {
    return controller_->CommandEnabled(id);
}

void DirWindow::OnTrayNotify(unsigned /*id*/, QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick)
        ToggleFrame();
}

void DirWindow::ToggleFrame() {
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
    list_->setGeometry(
        rect().marginsRemoved(QMargins(ListMargin, ListMargin, ListMargin, ListMargin)));
}

void DirWindow::OnSelectionChanged() {
    const auto selected = list_->selectedItems();
    controller_->Select(selected.isEmpty() ? -1 : list_->row(selected.first()));
}

// Shows the controller's lines and selection; selecting from the program raises no
// selection-change notification.
void DirWindow::ShowList() {
    const QSignalBlocker quiet(list_);
    list_->clear();
    const QIcon mark = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const std::vector<std::string> lines = controller_->Lines();
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
        auto* item = new QListWidgetItem(ToQString(lines[static_cast<std::size_t>(line)]), list_);
        item->setToolTip(ToQString(controller_->LineToolTip(line)));
        if (controller_->LineMarked(line))
            item->setIcon(mark);
    }
    const int selected = controller_->SelectedLine();
    list_->setCurrentRow(selected);
    if (selected < 0)
        list_->clearSelection();
}

// The tray icon's menu, from the command table; its first item is the default.
void DirWindow::CreateTrayMenu() {
    trayMenu_ = new QMenu(this);
    trayMenu_->setObjectName("TrayMenu");
    for (int id : TrayMenuItems) {
        if (id == Separator) {
            trayMenu_->addSeparator();
            continue;
        }
        const CommandInfo* command = FindCommand(id);
        QAction* action = trayMenu_->addAction(command->menuText);
        action->setObjectName(command->name);
        action->setData(id);
        action->setCheckable(IsCheckItem(id));
        connect(action, &QAction::triggered, this, [this, id] { Command(id); });
    }
    trayMenu_->setDefaultAction(trayMenu_->actions().first());
    connect(trayMenu_, &QMenu::aboutToShow, this, &DirWindow::UpdateTrayMenu);
}

void DirWindow::UpdateTrayMenu() {
    for (QAction* action : trayMenu_->actions()) {
        const int id = action->data().toInt();
        if (id == Separator)
            continue;
        action->setEnabled(CommandEnabled(id));
        action->setChecked(controller_->CommandChecked(id));
        if (id == CM_SHOWHIDE)
            action->setText(window()->isVisible() ? HideMenuText : FindCommand(id)->menuText);
    }
}

void DirWindow::ShowTrayTip(const std::string& tip) {
    trayIcon_.SetTip(ToQString(tip));
}

void DirWindow::Notify(const std::string& title, const std::string& text, Notice notice) {
    trayIcon_.ShowMessage(ToQString(title), ToQString(text),
                          notice == Notice::Problem ? QSystemTrayIcon::Warning
                                                    : QSystemTrayIcon::Information);
}

void DirWindow::StartTimer(std::chrono::milliseconds delay) {
    noticeTimer_.start(delay);
}
