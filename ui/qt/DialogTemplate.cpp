#include "ui/qt/DialogTemplate.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <algorithm>

DialogTemplate::DialogTemplate(QDialog& dialog, const QString& title, QSize size, QPoint place)
    : dialog_(dialog), size_(size), place_(place) {
    const QFontMetrics metrics(dialog.font());
    baseX_ = metrics.averageCharWidth();
    baseY_ = metrics.height();
    dialog.setWindowTitle(title);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

// Rounded like the platform's MulDiv, which the original template engine uses.
int DialogTemplate::X(int units) const {
    return (units * baseX_ + 2) / 4;
}

int DialogTemplate::Y(int units) const {
    return (units * baseY_ + 4) / 8;
}

// Edges rather than sizes are converted, so that boxes that touch in units never overlap.
QRect DialogTemplate::Pixels(const QRect& units) const {
    const QPoint topLeft(X(units.x()), Y(units.y()));
    const QPoint end(X(units.x() + units.width()), Y(units.y() + units.height()));
    return QRect(topLeft, end - QPoint(1, 1));
}

void DialogTemplate::Place(QWidget& control, const QRect& units, const QString& id) {
    control.setParent(&dialog_);
    controls_.emplace_back(&control, units);
    if (!id.isEmpty())
        control.setObjectName(id);
}

QPushButton* DialogTemplate::AddButton(const QString& text, const QRect& units, const QString& id) {
    auto* button = new QPushButton(text, &dialog_);
    Place(*button, units, id);
    return button;
}

QLabel* DialogTemplate::AddLabel(const QString& text, const QRect& units, Qt::Alignment alignment) {
    auto* label = new QLabel(text, &dialog_);
    label->setAlignment(alignment);
    Place(*label, units);
    return label;
}

QFrame* DialogTemplate::AddBlackFrame(const QRect& units) {
    auto* frame = new QFrame(&dialog_);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(palette);
    Place(*frame, units);
    return frame;
}

// Push buttons are left out: their text is centred in a box that is wide for it.
bool DialogTemplate::CutsText(const QWidget& control, const QRect& units) const {
    const bool runsToTheEdge =
        qobject_cast<const QLabel*>(&control) || qobject_cast<const QCheckBox*>(&control);
    return runsToTheEdge && control.sizeHint().width() > Pixels(units).width();
}

void DialogTemplate::Apply() {
    const auto cut = [this](const auto& control) {
        return CutsText(*control.first, control.second);
    };
    while (std::any_of(controls_.begin(), controls_.end(), cut))
        ++baseX_;
    for (const auto& [control, units] : controls_)
        control->setGeometry(Pixels(units));
    dialog_.setFixedSize(X(size_.width()), Y(size_.height()));
    if (QWidget* owner = dialog_.parentWidget())
        dialog_.move(owner->mapToGlobal(QPoint(X(place_.x()), Y(place_.y()))));
}
