#include "ui/Prompts.h"

#include <QFileDialog>

namespace Prompts {
namespace {

std::optional<QMessageBox::StandardButton> nextAnswer;
std::optional<Shown> lastShown;
int shownCount = 0;

std::optional<QString> nextFileName;
std::optional<FileRequest> lastFileRequest;

QMessageBox::StandardButton ShowBox(QWidget* owner, const Shown& shown) {
    QMessageBox box(shown.icon, shown.caption, shown.text, shown.buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> RunFileDialog(QWidget* owner, const FileRequest& request) {
    QFileDialog dialog(owner, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    if (!request.filters.isEmpty())
        dialog.selectNameFilter(request.filters.first());
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialFile.isEmpty())
        dialog.selectFile(request.initialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace

QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                 const QString& text, QMessageBox::StandardButtons buttons) {
    const Shown shown{icon, caption, text, buttons};
    lastShown = shown;
    ++shownCount;
    if (nextAnswer) {
        const auto answer = *nextAnswer;
        nextAnswer.reset();
        return answer;
    }
    return ShowBox(owner, shown);
}

void SetNextAnswer(QMessageBox::StandardButton answer) {
    nextAnswer = answer;
}

std::optional<Shown> LastShown() {
    return lastShown;
}

int ShownCount() {
    return shownCount;
}

std::optional<QString> GetOpenFileName(QWidget* owner, const FileRequest& request) {
    lastFileRequest = request;
    if (nextFileName) {
        const QString name = *nextFileName;
        nextFileName.reset();
        if (name.isEmpty())
            return std::nullopt;
        return name;
    }
    return RunFileDialog(owner, request);
}

void SetNextFileName(const QString& fileName) {
    nextFileName = fileName;
}

std::optional<FileRequest> LastFileRequest() {
    return lastFileRequest;
}

} // namespace Prompts
