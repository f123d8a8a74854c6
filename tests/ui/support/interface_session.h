// What a user's session with a window is measured by: how long the
// interface thread was busy in one go, by a timer due every 2 ms, and the
// wheel and mouse events a user gives, sent to a widget. Shared by the
// interface tests and drennix-desktop-timer.
#pragma once

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

class EventLoopWatch {
public:
    // A wait over `longMs` milliseconds counts as a long one.
    explicit EventLoopWatch(double longMs = 50) : longMs_(longMs)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double busy = static_cast<double>(clock_.nsecsElapsed()) / 1e6 - intervalMs;
            longest_ = std::max(longest_, busy);
            if (busy > longMs_) ++longWaits_;
            clock_.restart();
        });
        clock_.start();
        timer_.start();
    }
    // The longest the thread was busy beyond the timer's interval.
    double longestMs() const { return longest_; }
    int longWaits() const { return longWaits_; }

private:
    static constexpr int intervalMs = 2;
    const double longMs_;
    QTimer timer_;
    QElapsedTimer clock_;
    double longest_ = 0;
    int longWaits_ = 0;
};

// `notches` of the wheel (up: more than 0) with the cursor at `at`.
inline void sendWheel(QWidget* widget, int notches, QPointF at)
{
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// A press, a move with the left button held, or a release at `at`.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF at)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
