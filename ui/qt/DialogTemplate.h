#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <utility>
#include <vector>

class QDialog;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// Lays out a dialog from a fixed template whose positions and sizes are in dialog units: x
// units are a quarter of the dialog font's average character width, y units an eighth of its
// height. Each control takes its template identifier as object name. Where the platform's font
// would not fit a text into its box, the x unit grows until every text fits, so the template's
// layout holds in any font.
class DialogTemplate {
public:
    // Gives the dialog its title and a modal frame with caption and close box.
    DialogTemplate(QDialog& dialog, const QString& title, QSize size, QPoint place);

    int X(int units) const;
    int Y(int units) const;

    // Makes a control a child of the dialog, to be put at its template rectangle, and names it.
    void Place(QWidget& control, const QRect& units, const QString& id = {});
    QPushButton* AddButton(const QString& text, const QRect& units, const QString& id);
    QLabel* AddLabel(const QString& text, const QRect& units,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    // The thin black rectangle that groups controls.
    QFrame* AddBlackFrame(const QRect& units);
    // Once every control is placed: fits the units to the texts, then sizes and places the
    // dialog (at `place` relative to the owner's client area) and every control.
    void Apply();

private:
    QRect Pixels(const QRect& units) const;
    bool CutsText(const QWidget& control, const QRect& units) const;

    QDialog& dialog_;
    QSize size_;
    QPoint place_;
    int baseX_;
    int baseY_;
    std::vector<std::pair<QWidget*, QRect>> controls_;
};
