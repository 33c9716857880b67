#include "ui/qt/QtPrompts.h"

#include "ui/qt/DirectoryDialog.h"
#include "ui/qt/LogViewer.h"
#include "ui/qt/Prompts.h"
#include "ui/qt/Text.h"

#include <QFileDialog>

bool QtPrompts::Confirm(const std::string& text) {
    return Prompts::Show(owner_, QMessageBox::Critical, "Confirm", ToQString(text),
                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtPrompts::ShowError(const std::string& text, ErrorIcon icon) {
    Prompts::Show(owner_, icon == ErrorIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                  "Error", ToQString(text), QMessageBox::Ok);
}

void QtPrompts::ShowInformation(const std::string& text) {
    Prompts::Show(owner_, QMessageBox::Information, "Information", ToQString(text),
                  QMessageBox::Ok);
}

std::optional<std::string> QtPrompts::ChooseFile(const FileRequest& request) {
    QFileDialog dialog(owner_, ToQString(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const FileRequest::Filter& filter : request.filters)
        filters << ToQString(filter.description);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.setDefaultSuffix(ToQString(request.defaultSuffix));
    if (!request.initialFile.empty())
        dialog.selectFile(ToQString(request.initialFile));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ToStdString(dialog.selectedFiles().first());
}

bool QtPrompts::EditDirectory(DirSettings& settings) {
    DirectoryDialog dialog(owner_, settings);
    return dialog.Run() == DirectoryDialog::IdOk;
}

bool QtPrompts::ViewLog(const std::string& logPath) {
    return LogViewer::Run(ToQString(logPath)) >= 0;
}
