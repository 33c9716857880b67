#include "ui/qt/QtUserPrompts.h"

#include "ui/qt/DirectoryDialog.h"
#include "ui/qt/LogViewer.h"
#include "ui/qt/MessageBox.h"
#include "ui/qt/Text.h"

#include <QFileDialog>
#include <QFileSystemModel>

namespace {

// Qt's own file dialog (a native one can neither refuse a choice nor be told what "*.*" means),
// made to behave like the platform's Open dialog the filters come from.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* owner, const FileRequest& request)
        : QFileDialog(owner, ToQString(request.title)), refusal_(request.refusal) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        QStringList filters;
        for (const FileRequest::Filter& filter : request.filters)
            filters << ToQString(filter.description);
        setNameFilters(filters);
        if (!filters.isEmpty())
            selectNameFilter(filters.first());
        setDefaultSuffix(ToQString(request.defaultSuffix));
        if (!request.initialFile.empty())
            selectFile(ToQString(request.initialFile));
        // Queued, so that it comes after Qt has applied the filter itself.
        connect(this, &QFileDialog::filterSelected, this, &FileDialog::MatchEveryName,
                Qt::QueuedConnection);
    }

    // A file the request refuses is refused with the dialog left open; a folder is opened.
    void accept() override {
        const QStringList files = selectedFiles();
        if (refusal_ && !files.isEmpty() && !QFileInfo(files.first()).isDir()) {
            if (const std::string refusal = refusal_(ToStdString(files.first()));
                !refusal.empty()) {
                MessageBox::Show(this, QMessageBox::Critical, "Error", ToQString(refusal),
                                 QMessageBox::Ok);
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    // "*.*" lists every name there, also one without a dot; Qt would take it literally.
    void MatchEveryName(const QString& filter) {
        auto* model = findChild<QFileSystemModel*>();
        if (model && filter.endsWith("(*.*)"))
            model->setNameFilters({"*"});
    }

    std::function<std::string(const std::string&)> refusal_;
};

} // namespace

bool QtUserPrompts::Confirm(const std::string& text) {
    return MessageBox::Show(owner_, QMessageBox::Critical, "Confirm", ToQString(text),
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtUserPrompts::ShowError(const std::string& text, ErrorIcon icon) {
    MessageBox::Show(owner_, icon == ErrorIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                     "Error", ToQString(text), QMessageBox::Ok);
}

void QtUserPrompts::ShowInformation(const std::string& text) {
    MessageBox::Show(owner_, QMessageBox::Information, "Information", ToQString(text),
                     QMessageBox::Ok);
}

void QtUserPrompts::ShowWarning(const std::string& text) {
    MessageBox::Show(owner_, QMessageBox::Warning, "Warning", ToQString(text), QMessageBox::Ok);
}

std::optional<std::string> QtUserPrompts::ChooseFile(const FileRequest& request) {
    FileDialog dialog(owner_, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ToStdString(dialog.selectedFiles().first());
}

bool QtUserPrompts::EditDirectory(DirSettings& settings) {
    DirectoryDialog dialog(owner_, settings);
    return dialog.Run() == DirectoryDialog::IdOk;
}

bool QtUserPrompts::ViewLog(const std::string& logPath) {
    return LogViewer::Run(ToQString(logPath)) >= 0;
}
