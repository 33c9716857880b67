#include "ui/qt/MainFrame.h"

#include "ui/CommandTable.h"
#include "ui/FrameLayout.h"
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
    setFixedSize(FrameOuterWidth, FrameOuterHeight);
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

void MainFrame::CreateActions() {
    for (const CommandInfo& command : Commands) {
        auto* action = new QAction(QIcon(QString(":/") + command.bitmap), command.menuText, this);
        action->setObjectName(command.name);
        action->setEnabled(false);
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { client_->Command(id); });
        actions_[id] = action;
    }
}

void MainFrame::CreateMenu() {
    menuBar()->setObjectName("MAIN_MENU");
    for (const DropDownMenu& dropDown : MainMenu) {
        QMenu* menu = menuBar()->addMenu(dropDown.text);
        for (int id : dropDown.items) {
            if (id == Separator)
                menu->addSeparator();
            else
                menu->addAction(Action(id));
        }
        connect(menu, &QMenu::aboutToShow, this, &MainFrame::UpdateCommands);
    }
}

void MainFrame::CreateToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(ToolBitmapSize, ToolBitmapSize));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QFont font = bar->font();
    font.setPointSize(10);
    bar->setFont(font);
    for (int id : ToolBarItems) {
        if (id == Separator) {
            auto* gap = new QWidget(bar);
            gap->setObjectName("Separator");
            gap->setFixedWidth(ToolSeparatorWidth);
            bar->addWidget(gap);
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
    const QSize inner(FrameOuterWidth - frame.width(), FrameOuterHeight - frame.height());
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
    if (!client_->QueryClose())
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
    const bool mayEnd = client_->QueryClose();
    manager.release();
    if (mayEnd)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    else
        manager.cancel();
}
