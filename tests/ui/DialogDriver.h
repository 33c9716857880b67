#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

// Works a dialog's controls as a user would, finding each by its identifier.
namespace dialogdriver {

template <class Widget> Widget* Control(QWidget& dialog, const char* id) {
    auto* control = dialog.findChild<Widget*>(id);
    if (control == nullptr)
        qFatal("no control %s", id);
    return control;
}

inline QLineEdit* Edit(QWidget& dialog, const char* id) {
    return Control<QLineEdit>(dialog, id);
}

inline void Click(QWidget& dialog, const char* id) {
    QTest::mouseClick(Control<QAbstractButton>(dialog, id), Qt::LeftButton);
}

inline void Retype(QWidget& dialog, const char* id, const QString& text) {
    Edit(dialog, id)->clear();
    QTest::keyClicks(Edit(dialog, id), text);
}

} // namespace dialogdriver
