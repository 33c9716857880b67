#include "ui/Prompts.h"

#include <QFileDialog>
#include <QFileSystemModel>

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

constexpr QFileDevice::Permissions AnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

// Why a chosen file can't be used, or an empty string when it can. A sound must exist and is
// only read; a log only needs its folder (the first event makes the file) but is written to.
QString FileRefusal(const QString& fileName, bool mustExist) {
    const QFileInfo file(fileName);
    if (fileName.contains('"'))
        return "A file name can't contain a double quote (\").";
    if (mustExist)
        return file.isFile() ? QString() : "This file does not exist:\n" + fileName;
    if (!QFileInfo(file.absolutePath()).isDir())
        return "The folder of this file does not exist:\n" + fileName;
    if (file.exists() && (!file.isWritable() || !(file.permissions() & AnyWrite)))
        return "This file is read-only:\n" + fileName;
    return {};
}

// Qt's own file dialog (a native one can neither refuse a choice nor be told what "*.*" means),
// made to behave like the platform's Open dialog the filters come from.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* owner, const FileRequest& request)
        : QFileDialog(owner, request.title), mustExist_(request.mustExist) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        setNameFilters(request.filters);
        if (!request.filters.isEmpty())
            selectNameFilter(request.filters.first());
        setDefaultSuffix(request.defaultSuffix);
        if (!request.initialFile.isEmpty())
            selectFile(request.initialFile);
        // Queued, so that it comes after Qt has applied the filter itself.
        connect(this, &QFileDialog::filterSelected, this, &FileDialog::MatchEveryName,
                Qt::QueuedConnection);
    }

    // A file that can't be used is refused with the dialog left open; a folder is opened.
    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && !QFileInfo(files.first()).isDir()) {
            if (const QString refusal = FileRefusal(files.first(), mustExist_);
                !refusal.isEmpty()) {
                Show(this, QMessageBox::Critical, "Error", refusal, QMessageBox::Ok);
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

    bool mustExist_;
};

std::optional<QString> RunFileDialog(QWidget* owner, const FileRequest& request) {
    FileDialog dialog(owner, request);
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
