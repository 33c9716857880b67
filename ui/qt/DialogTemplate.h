#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QDialog;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// Lays out a dialog from a fixed template whose positions and sizes are in dialog units: x
// units are a quarter of the dialog font's average character width, y units an eighth of its
// height. Each control takes its template identifier as object name.
class DialogTemplate {
public:
    // Gives the dialog its title, its fixed client size and a modal frame with caption and
    // close box, placed at `place` relative to the owner's client area.
    DialogTemplate(QDialog& dialog, const QString& title, QSize size, QPoint place);

    int X(int units) const;
    int Y(int units) const;
    QRect Pixels(const QRect& units) const;

    // Puts a child of the dialog at its template rectangle and names it.
    void Place(QWidget& control, const QRect& units, const QString& id = {}) const;
    QPushButton* AddButton(const QString& text, const QRect& units, const QString& id) const;
    QLabel* AddLabel(const QString& text, const QRect& units,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) const;
    // Widens a control whose text would not fit the template's box with the platform's font;
    // a right-aligned one grows to the left.
    static void FitText(QWidget& control, Qt::Alignment alignment = Qt::AlignLeft);
    // The thin black rectangle that groups controls.
    QFrame* AddBlackFrame(const QRect& units) const;

private:
    QDialog& dialog_;
    int baseX_;
    int baseY_;
};
