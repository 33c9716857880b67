#include "ui/qt/MainFrame.h"

#include "ui/Commands.h"
#include "ui/qt/DirWindow.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QSessionManager>
#include <QToolBar>
#include <QToolButton>
#include <utility>

MainFrame::MainFrame(DirWindow* client) : client_(client) {
    setWindowTitle("Peerwell");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(":/MAIN_ICON"));
    move(0, 0);
    setFixedSize(OuterWidth, OuterHeight);
    setCentralWidget(client_);
    CreateActions();
    CreateMenu();
    CreateToolBar();
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &MainFrame::UpdateCommands);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainFrame::OnCommitData);
}

MainFrame::~MainFrame() = default;

QAction* MainFrame::Action(int id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

QAction* MainFrame::CreateAction(int id, const char* name, const char* text, const char* bitmap) {
    auto* action = new QAction(QIcon(bitmap), text, this);
    action->setObjectName(name);
    action->setData(id);
    action->setEnabled(false);
    connect(action, &QAction::triggered, this, [this, id] { client_->Command(id); });
    actions_[id] = action;
    return action;
}

void MainFrame::CreateActions() {
    CreateAction(CM_EXIT, "CM_EXIT", "&Exit", ":/BMP_2");
    CreateAction(CM_VIEW, "CM_VIEW", "&View", ":/BMP_1");
    CreateAction(CM_ADD, "CM_ADD", "&Add", ":/BMP_3");
    CreateAction(CM_DELETE, "CM_DELETE", "&Delete", ":/BMP_4");
    CreateAction(CM_OPTIONS, "CM_OPTIONS", "&Options", ":/BMP_8");
    CreateAction(CM_LOGFILE, "CM_LOGFILE", "&LOG file", ":/BMP_6");
    CreateAction(CM_WAVFILE, "CM_WAVFILE", "&WAV file", ":/BMP_7");
    CreateAction(CM_ABOUT, "CM_ABOUT", "&About", ":/BMP_5");
}

void MainFrame::CreateMenu() {
    menuBar()->setObjectName("MAIN_MENU");
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(Action(CM_VIEW));
    file->addSeparator();
    file->addAction(Action(CM_EXIT));
    QMenu* dirs = menuBar()->addMenu("&Directories");
    dirs->addAction(Action(CM_ADD));
    dirs->addAction(Action(CM_DELETE));
    dirs->addSeparator();
    dirs->addAction(Action(CM_OPTIONS));
    dirs->addAction(Action(CM_LOGFILE));
    dirs->addAction(Action(CM_WAVFILE));
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(Action(CM_ABOUT));
    for (QMenu* menu : {file, dirs, help})
        connect(menu, &QMenu::aboutToShow, this, &MainFrame::UpdateCommands);
}

void MainFrame::CreateToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QFont font = bar->font();
    font.setPointSize(10);
    bar->setFont(font);
    const auto addGap = [bar] {
        auto* gap = new QWidget(bar);
        gap->setObjectName("Separator");
        gap->setFixedWidth(6);
        bar->addWidget(gap);
    };
    for (int id : {CM_VIEW, CM_EXIT, 0, CM_ADD, CM_DELETE, 0, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE, 0,
                   CM_ABOUT}) {
        if (id == 0) {
            addGap();
            continue;
        }
        bar->addAction(Action(id));
        bar->widgetForAction(Action(id))->installEventFilter(this);
    }
    addToolBar(Qt::TopToolBarArea, bar);
}

void MainFrame::UpdateCommands() {
    for (const auto& [id, action] : actions_)
        action->setEnabled(client_->CommandEnabled(id));
}

bool MainFrame::QueryClose() {
    return client_->CloseApproved() || client_->CanClose();
}

void MainFrame::ShowMinimizedOnScreen() {
    minimizeOnScreen_ = true;
    show();
}

bool MainFrame::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::Move)
        FitOuterSize();
    // The first paint comes once the window is mapped.
    if (event->type() == QEvent::Paint && std::exchange(minimizeOnScreen_, false))
        QMetaObject::invokeMethod(this, &QWidget::showMinimized, Qt::QueuedConnection);
    return handled;
}

// The window manager's frame is known only once the window is mapped: shrink the client so
// the outer size stays fixed.
void MainFrame::FitOuterSize() {
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize inner(OuterWidth - frame.width(), OuterHeight - frame.height());
    if (inner != size())
        setFixedSize(inner);
}

void MainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Without a tray icon a hidden frame could not be reached again: stay minimised then.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && client_->TrayIconShown())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!QueryClose())
        return event->ignore();
    event->accept();
    emit Closed();
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip)
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::OnCommitData(QSessionManager& manager) {
    if (!manager.allowsInteraction())
        return;
    const bool mayEnd = QueryClose();
    manager.release();
    if (mayEnd)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    else
        manager.cancel();
}
