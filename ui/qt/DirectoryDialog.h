#pragma once

#include "ui/DirectoryForm.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

// "Directory options": the view of a DirectoryForm on the owner's current record. Cancel stores
// nothing.
class DirectoryDialog : public QDialog {
    Q_OBJECT
public:
    // What Run() returns: the identifier of the button that closed the dialog.
    static constexpr int IdOk = 1;
    static constexpr int IdCancel = 2;

    DirectoryDialog(QWidget* owner, DirSettings& settings);

    // Runs the dialog modally; IdOk or IdCancel (also for Esc and the close box).
    int Run();

    // OK: stores the fields and closes, or explains the refusal and stays open.
    void accept() override;

private:
    void CreateControls();
    void LoadFields();
    KindBoxes ShownKind() const;
    void ShowKind(KindBoxes kind);

    DirectoryForm form_;

    QLineEdit* pathEdit_ = nullptr;
    QLineEdit* aliasEdit_ = nullptr;
    QLineEdit* maskEdit_ = nullptr;
    QCheckBox* inbound_ = nullptr;
    QCheckBox* outbound_ = nullptr;
};
