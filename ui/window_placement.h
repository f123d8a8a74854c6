// Where the windows of the runs open: each new list, tools or toolpath window a
// step further along a cascade that starts at the main window's left edge,
// halfway down it, so that the main window's inputs stay in sight; every
// window kept on the screen's available area. A kind of window opens at the
// size the user last gave one of its kind in this session.
#pragma once

#include <array>

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

// The frame rectangle of the `step`th window of the cascade (counted from 0;
// the cascade starts again after cascadeLength windows) for a window whose
// frame is `frameSize`, opened from the main window's frame `owner`, inside
// `available`. A window larger than `available` is made to fit.
QRect cascadeFrame(const QRect& owner, QSize frameSize, const QRect& available, int step);

class WindowPlacer : public QObject {
public:
    enum class Kind { List, Toolpath, Tools };

    static constexpr int cascadeStep = 32;
    static constexpr int cascadeLength = 8;

    // `owner` is the main window: the cascade starts at it.
    explicit WindowPlacer(QWidget* owner);

    // Gives a new window, not yet shown, the size last used for its kind (its
    // own size before any) and the next place in the cascade; from then on
    // the sizes the user gives it are remembered.
    void place(QWidget* window, Kind kind);

    // The size the next window of `kind` opens at; invalid before the first.
    QSize rememberedSize(Kind kind) const { return sizes_[static_cast<std::size_t>(kind)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The frame the window manager puts around the main window, taken as
    // that of the other windows too (a window not yet shown has none yet).
    QMargins frameMargins() const;

    QWidget* owner_;
    std::array<QSize, 3> sizes_{};
    int step_ = 0;
};
