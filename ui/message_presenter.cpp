#include "message_presenter.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// A run shows the wait cursor; a message box needs the ordinary arrow while
// it waits for the user.
class ArrowCursorWhileOpen {
public:
    ArrowCursorWhileOpen() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursorWhileOpen() { QApplication::restoreOverrideCursor(); }
    ArrowCursorWhileOpen(const ArrowCursorWhileOpen&) = delete;
    ArrowCursorWhileOpen& operator=(const ArrowCursorWhileOpen&) = delete;
};

}  // namespace

void MessageBoxPresenter::showMessage(QWidget* parent, const QString& text, drennix::MessageKind kind)
{
    const ArrowCursorWhileOpen arrow;
    const auto icon = kind == drennix::MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool MessageBoxPresenter::confirm(QWidget* parent, const QString& text)
{
    const ArrowCursorWhileOpen arrow;
    QMessageBox box(QMessageBox::Question, applicationTitle(), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
