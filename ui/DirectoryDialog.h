#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;

// "Directory options": edits Path, Alias, Mask and Kind of the owner's current record in place.
// OK stores them only when the typed path can be listed; Cancel stores nothing.
class DirectoryDialog : public QDialog {
    Q_OBJECT
public:
    // What Run() returns: the identifier of the button that closed the dialog.
    static constexpr int IdOk = 1;
    static constexpr int IdCancel = 2;

    DirectoryDialog(QWidget* owner, std::string& Path, std::string& Alias, std::string& Mask,
                    char& Kind);

    // Runs the dialog modally; IdOk or IdCancel (also for Esc and the close box).
    int Run();
    // For tests: the next Run() hands the shown dialog to script instead of waiting for a user.
    // The script works the controls and presses the buttons; a dialog left open is cancelled.
    static void SetNextScript(std::function<void(DirectoryDialog&)> script);

    // OK: stores the fields and closes, or explains the refusal and stays open.
    void accept() override;

private:
    void CreateControls();
    void LoadFields();
    void KeepOneChecked(QCheckBox* clicked);
    bool RefuseDoubleQuotes();

    std::string& path_;
    std::string& alias_;
    std::string& mask_;
    char& kind_;

    QLineEdit* pathEdit_ = nullptr;
    QLineEdit* aliasEdit_ = nullptr;
    QLineEdit* maskEdit_ = nullptr;
    QCheckBox* inbound_ = nullptr;
    QCheckBox* outbound_ = nullptr;
};
