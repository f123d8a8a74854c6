#include "list_window_keys.h"

#include <QKeyEvent>

namespace {

bool isCopyKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_C && (event->modifiers() & Qt::ControlModifier);
}

bool isEnterKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool isOwnKey(const QKeyEvent* event)
{
    return isCopyKey(event) || isEnterKey(event) || event->key() == Qt::Key_F1;
}

}  // namespace

bool ListWindowKeys::take(QEvent* event) const
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isOwnKey(key)) return false;
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (isCopyKey(key)) copy();
    if (key->key() == Qt::Key_F1) help();
    return true;
}
