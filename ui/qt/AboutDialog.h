#pragma once

#include <QDialog>

// "About Peerwell": the program icon and version in a frame, and OK. Closes with OK, Esc or
// its close box.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* owner);
};
