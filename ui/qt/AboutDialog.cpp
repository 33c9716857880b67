#include "ui/qt/AboutDialog.h"

#include "ui/qt/DialogTemplate.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int IconSize = 32;
}

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
    const DialogTemplate layout(*this, "About Peerwell", QSize(177, 98), QPoint(31, 16));
    layout.AddBlackFrame(QRect(6, 3, 165, 39));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(":/MAIN_ICON").pixmap(IconSize, IconSize));
    icon->setGeometry(layout.X(15), layout.Y(12), IconSize, IconSize);
    layout.AddLabel("Peerwell version " PEERWELL_VERSION, QRect(90, 12, 75, 8),
                    Qt::AlignRight | Qt::AlignVCenter);
    QPushButton* ok = layout.AddButton("OK", QRect(63, 75, 50, 14), "1");
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
