#include "ui/qt/MessageBox.h"

#include <optional>
#include <utility>

namespace MessageBox {
namespace {

std::optional<QMessageBox::StandardButton> nextAnswer;
int shownCount = 0;

} // namespace

QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const QString& caption,
                                 const QString& text, QMessageBox::StandardButtons buttons) {
    ++shownCount;
    if (nextAnswer)
        return *std::exchange(nextAnswer, std::nullopt);
    QMessageBox box(icon, caption, text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void SetNextAnswer(QMessageBox::StandardButton answer) {
    nextAnswer = answer;
}

int ShownCount() {
    return shownCount;
}

} // namespace MessageBox
