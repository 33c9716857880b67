#pragma once

#include <QMainWindow>
#include <map>

class DirWindow;
class QSessionManager;

// The program's top-level window: menu, tool bar and the directory list window as client.
// Every command goes to the client, which also answers whether it is enabled.
class MainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Takes ownership of client.
    explicit MainFrame(DirWindow* client);
    ~MainFrame() override;

    DirWindow* Client() const { return client_; }
    // The one action of a command, shared by its menu item and its tool-bar button.
    QAction* Action(int id) const;
    // Asks the client for the state of every command.
    void UpdateCommands();

    QMenu* createPopupMenu() override { return nullptr; }
    // Shows the frame, then minimises it once it is on screen: some window managers show a
    // window that asks to start minimised in its normal state.
    void ShowMinimizedOnScreen();

signals:
    // The close query was answered Yes and the frame has closed, hidden or not.
    void Closed();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenu();
    void CreateToolBar();
    void FitOuterSize();
    void OnCommitData(QSessionManager& manager);

    DirWindow* client_;
    std::map<int, QAction*> actions_;
    bool minimizeOnScreen_ = false;
};
