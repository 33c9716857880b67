#include "ui/qt/DirectoryDialog.h"

#include "ui/qt/DialogTemplate.h"
#include "ui/qt/MessageBox.h"
#include "ui/qt/Text.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

DirectoryDialog::DirectoryDialog(QWidget* owner, DirSettings& settings)
    : QDialog(owner), form_(settings) {
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
        edit->setMaxLength(DirectoryForm::EditLimit);
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
    connect(inbound_, &QCheckBox::clicked, this,
            [this] { ShowKind(DirectoryForm::AfterClick(ShownKind(), KindBox::Inbound)); });
    connect(outbound_, &QCheckBox::clicked, this,
            [this] { ShowKind(DirectoryForm::AfterClick(ShownKind(), KindBox::Outbound)); });

    QWidget* tabOrder[] = {ok, cancel, pathEdit_, aliasEdit_, maskEdit_, inbound_, outbound_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    pathEdit_->setFocus();
}

void DirectoryDialog::LoadFields() {
    const DirectoryFields fields = form_.Fields();
    pathEdit_->setText(ToQString(fields.Path));
    aliasEdit_->setText(ToQString(fields.Alias));
    maskEdit_->setText(ToQString(fields.Mask));
    ShowKind(fields.Kind);
}

KindBoxes DirectoryDialog::ShownKind() const {
    return {inbound_->isChecked(), outbound_->isChecked()};
}

void DirectoryDialog::ShowKind(KindBoxes kind) {
    inbound_->setChecked(kind.Inbound);
    outbound_->setChecked(kind.Outbound);
}

void DirectoryDialog::accept() {
    const std::optional<std::string> refusal =
        form_.Accept({ToStdString(pathEdit_->text()), ToStdString(aliasEdit_->text()),
                      ToStdString(maskEdit_->text()), ShownKind()});
    if (refusal)
        MessageBox::Show(this, QMessageBox::Critical, "Error", ToQString(*refusal),
                         QMessageBox::Ok);
    else
        QDialog::accept();
}

int DirectoryDialog::Run() {
    return exec() == QDialog::Accepted ? IdOk : IdCancel;
}
