#include "ui/qt/DirectoryDialog.h"

#include "platform/ListableDirectory.h"
#include "ui/qt/DialogTemplate.h"
#include "ui/qt/MessageBox.h"
#include "ui/qt/Text.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Edits hold at most this many characters (the template's text limit of 255 less the zero).
constexpr int EditLimit = 254;

// The path as stored: without trailing separators, except that the root stays the root.
std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

DirectoryDialog::DirectoryDialog(QWidget* owner, DirSettings& settings)
    : QDialog(owner), settings_(settings) {
    CreateControls();
    LoadFields();
}

void DirectoryDialog::CreateControls() {
    DialogTemplate layout(*this, "Directory options", QSize(194, 93), QPoint(24, 18));
    QPushButton* ok = layout.AddButton("OK", QRect(42, 72, 50, 14), "1");
    QPushButton* cancel = layout.AddButton("Cancel", QRect(102, 72, 50, 14), "2");
    layout.AddLabel("Path", QRect(12, 9, 18, 8));
    layout.AddLabel("Alias", QRect(12, 30, 18, 8));
    layout.AddLabel("Mask", QRect(12, 48, 21, 8));
    const auto addEdit = [&](const QRect& units, const QString& id) {
        auto* edit = new QLineEdit(this);
        edit->setMaxLength(EditLimit);
        layout.Place(*edit, units, id);
        return edit;
    };
    pathEdit_ = addEdit(QRect(33, 7, 155, 12), "105");
    aliasEdit_ = addEdit(QRect(33, 30, 90, 12), "103");
    maskEdit_ = addEdit(QRect(33, 48, 90, 12), "104");
    layout.AddBlackFrame(QRect(132, 30, 56, 30));
    inbound_ = new QCheckBox("Inbound", this);
    layout.Place(*inbound_, QRect(138, 33, 39, 12), "101");
    outbound_ = new QCheckBox("Outbound", this);
    layout.Place(*outbound_, QRect(138, 45, 46, 12), "102");
    layout.Apply();

    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &DirectoryDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &DirectoryDialog::reject);
    connect(inbound_, &QCheckBox::clicked, this, [this] { KeepOneChecked(inbound_); });
    connect(outbound_, &QCheckBox::clicked, this, [this] { KeepOneChecked(outbound_); });

    QWidget* tabOrder[] = {ok, cancel, pathEdit_, aliasEdit_, maskEdit_, inbound_, outbound_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    pathEdit_->setFocus();
}

void DirectoryDialog::LoadFields() {
    pathEdit_->setText(ToQString(settings_.Path));
    aliasEdit_->setText(ToQString(settings_.Alias));
    maskEdit_->setText(ToQString(settings_.Mask));
    inbound_->setChecked(settings_.Kind == '*' || settings_.Kind == '+');
    outbound_->setChecked(settings_.Kind != '+');
}

void DirectoryDialog::KeepOneChecked(QCheckBox* clicked) {
    if (inbound_->isChecked() || outbound_->isChecked())
        return;
    (clicked == inbound_ ? outbound_ : inbound_)->setChecked(true);
}

// A double quote would end its field early in the configuration file.
bool DirectoryDialog::RefuseDoubleQuotes() {
    for (const QLineEdit* edit : {pathEdit_, aliasEdit_, maskEdit_}) {
        if (edit->text().contains('"')) {
            MessageBox::Show(this, QMessageBox::Critical, "Error",
                             "Path, Alias and Mask can't contain a double quote (\").",
                             QMessageBox::Ok);
            return true;
        }
    }
    return false;
}

void DirectoryDialog::accept() {
    if (RefuseDoubleQuotes())
        return;
    const std::string typed = ToStdString(pathEdit_->text());
    settings_.Path = WithoutTrailingSeparators(typed);
    if (!platform::CanListDirectory(typed)) {
        MessageBox::Show(this, QMessageBox::Critical, "Error", "Bad path setting!",
                         QMessageBox::Ok);
        return;
    }
    settings_.Alias = ToStdString(aliasEdit_->text());
    settings_.Mask = ToStdString(maskEdit_->text());
    settings_.Kind = inbound_->isChecked() ? (outbound_->isChecked() ? '*' : '+') : '-';
    QDialog::accept();
}

int DirectoryDialog::Run() {
    return exec() == QDialog::Accepted ? IdOk : IdCancel;
}
