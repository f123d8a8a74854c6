// Dialog units: the coordinates of the window layouts, measured in quarters
// of the dialog font's average character width and eighths of its height, so
// that a dialog keeps its proportions with whatever font the platform offers.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

// The font of every Drennix window: a Japanese gothic at 10 points (the
// platform's own where present, else Noto Sans Mono CJK JP).
QFont dialogFont();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseWidth, int baseHeight);

    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(int x, int y, int width, int height) const;
    QSize toPixels(QSize units) const;

    // Places `widget` at the layout position (x, y, width, height).
    void place(QWidget* widget, int x, int y, int width, int height) const;

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }

private:
    int baseWidth_;   // average character width in pixels
    int baseHeight_;  // character height in pixels
};
