#include "run_input_guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: return true;
    default: return false;
    }
}

// Input for a modal window opened during the run (the run's message box)
// passes; everything else belongs to the windows the run blocks.
bool belongsToModalWindow(QObject* watched)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr) {
        // Events for a QWindow: let the modal window's own through.
        return watched == static_cast<QObject*>(modal->windowHandle());
    }
    return widget->window() == modal;
}

}  // namespace

RunInputGuard::RunInputGuard(std::function<void()> onEscape, QObject* parent)
    : QObject(parent), onEscape_(std::move(onEscape))
{}

RunInputGuard::~RunInputGuard()
{
    release();
}

void RunInputGuard::engage()
{
    if (engaged_) return;
    qApp->installEventFilter(this);
    engaged_ = true;
}

void RunInputGuard::release()
{
    if (!engaged_) return;
    qApp->removeEventFilter(this);
    engaged_ = false;
}

bool RunInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!isUserInput(event->type()) || belongsToModalWindow(watched)) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) onEscape_();
    }
    event->accept();
    return true;
}
