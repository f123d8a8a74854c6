// Every message box of the program goes through a MessagePresenter, so that
// the dialogs can be driven without a person to answer them.
#pragma once

#include <QString>

#include "messages.h"
#include "ui_texts.h"

class QWidget;

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;

    // An OK box captioned "Drennix": the exclamation icon for a warning, the
    // information icon otherwise. Returns when the user has dismissed it.
    virtual void showMessage(QWidget* parent, const QString& text, drennix::MessageKind kind) = 0;

    // A Yes/No box with the question icon; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
};

// The presenter of the running program: modal QMessageBox windows.
class MessageBoxPresenter final : public MessagePresenter {
public:
    void showMessage(QWidget* parent, const QString& text, drennix::MessageKind kind) override;
    bool confirm(QWidget* parent, const QString& text) override;
};

// The caption of every message box and of the main window.
inline QString applicationTitle()
{
    return texts::text(texts::applicationName);
}
