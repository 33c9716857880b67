#include "ui/qt/Prompts.h"

namespace Prompts {
namespace {

std::optional<QMessageBox::StandardButton> nextAnswer;
std::optional<Shown> lastShown;
int shownCount = 0;

QMessageBox::StandardButton ShowBox(QWidget* owner, const Shown& shown) {
    QMessageBox box(shown.icon, shown.caption, shown.text, shown.buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
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

} // namespace Prompts
