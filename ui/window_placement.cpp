#include "window_placement.h"

#include <algorithm>
#include <cstddef>

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace {

// The property that tells which kind a placed window is.
constexpr const char* kindProperty = "drennixWindowKind";

}  // namespace

QRect cascadeFrame(const QRect& owner, QSize frameSize, const QRect& available, int step)
{
    const int offset = WindowPlacer::cascadeStep * (step % WindowPlacer::cascadeLength);
    const QSize size = frameSize.boundedTo(available.size());
    QRect frame(QPoint(owner.left() + WindowPlacer::cascadeStep + offset, owner.top() + owner.height() / 2 + offset),
                size);
    // Pushed back onto the available area: left and up where it would leave
    // it on the right or at the bottom.
    frame.moveLeft(std::clamp(frame.left(), available.left(), available.right() - size.width() + 1));
    frame.moveTop(std::clamp(frame.top(), available.top(), available.bottom() - size.height() + 1));
    return frame;
}

WindowPlacer::WindowPlacer(QWidget* owner) : QObject(owner), owner_(owner) {}

QMargins WindowPlacer::frameMargins() const
{
    const QRect frame = owner_->frameGeometry();
    const QRect inside = owner_->geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
            frame.bottom() - inside.bottom()};
}

void WindowPlacer::place(QWidget* window, Kind kind)
{
    const QSize remembered = rememberedSize(kind);
    if (remembered.isValid()) window->resize(remembered);
    QScreen* screen = owner_->screen() != nullptr ? owner_->screen() : QGuiApplication::primaryScreen();
    const QMargins frame = frameMargins();
    QSize frameSize = window->size().grownBy(frame);
    if (screen != nullptr) {
        const QRect available = screen->availableGeometry();
        // A window taller or wider than the screen is made to fit it.
        const QSize fitting = frameSize.boundedTo(available.size());
        if (fitting != frameSize) {
            window->resize(fitting.shrunkBy(frame));
            frameSize = fitting;
        }
        window->move(cascadeFrame(owner_->frameGeometry(), frameSize, available, step_).topLeft());
    }
    step_ = (step_ + 1) % cascadeLength;
    window->setProperty(kindProperty, static_cast<int>(kind));
    window->installEventFilter(this);
}

// A size the user gives a shown window is the size of the next of its kind.
bool WindowPlacer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        auto* window = qobject_cast<QWidget*>(watched);
        const QVariant kind = watched->property(kindProperty);
        if (window != nullptr && window->isVisible() && kind.isValid())
            sizes_[static_cast<std::size_t>(kind.toInt())] = window->size();
    }
    return QObject::eventFilter(watched, event);
}
