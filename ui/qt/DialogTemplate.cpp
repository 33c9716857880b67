#include "ui/qt/DialogTemplate.h"

#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

DialogTemplate::DialogTemplate(QDialog& dialog, const QString& title, QSize size, QPoint place)
    : dialog_(dialog) {
    const QFontMetrics metrics(dialog.font());
    baseX_ = metrics.averageCharWidth();
    baseY_ = metrics.height();
    dialog.setWindowTitle(title);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(X(size.width()), Y(size.height()));
    if (QWidget* owner = dialog.parentWidget())
        dialog.move(owner->mapToGlobal(QPoint(X(place.x()), Y(place.y()))));
}

// Rounded like the platform's MulDiv, which the original template engine uses.
int DialogTemplate::X(int units) const {
    return (units * baseX_ + 2) / 4;
}

int DialogTemplate::Y(int units) const {
    return (units * baseY_ + 4) / 8;
}

QRect DialogTemplate::Pixels(const QRect& units) const {
    return QRect(X(units.x()), Y(units.y()), X(units.width()), Y(units.height()));
}

void DialogTemplate::Place(QWidget& control, const QRect& units, const QString& id) const {
    control.setParent(&dialog_);
    control.setGeometry(Pixels(units));
    if (!id.isEmpty())
        control.setObjectName(id);
}

QPushButton* DialogTemplate::AddButton(const QString& text, const QRect& units,
                                       const QString& id) const {
    auto* button = new QPushButton(text, &dialog_);
    Place(*button, units, id);
    return button;
}

QLabel* DialogTemplate::AddLabel(const QString& text, const QRect& units,
                                 Qt::Alignment alignment) const {
    auto* label = new QLabel(text, &dialog_);
    label->setAlignment(alignment);
    Place(*label, units);
    FitText(*label, alignment);
    return label;
}

void DialogTemplate::FitText(QWidget& control, Qt::Alignment alignment) {
    QRect box = control.geometry();
    const int missing = control.sizeHint().width() - box.width();
    if (missing <= 0)
        return;
    if (alignment & Qt::AlignRight)
        box.setLeft(box.left() - missing);
    else
        box.setRight(box.right() + missing);
    control.setGeometry(box);
}

QFrame* DialogTemplate::AddBlackFrame(const QRect& units) const {
    auto* frame = new QFrame(&dialog_);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(palette);
    Place(*frame, units);
    return frame;
}
