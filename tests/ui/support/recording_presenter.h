// A MessagePresenter for tests: records every message and question instead
// of showing a box, and answers questions with a preset answer.
#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "message_presenter.h"

struct ShownMessage {
    QString text;
    drennix::MessageKind kind;
};

class RecordingPresenter final : public MessagePresenter {
public:
    void showMessage(QWidget* /*parent*/, const QString& text, drennix::MessageKind kind) override
    {
        messages.push_back({text, kind});
        if (whileShown) whileShown();
    }

    bool confirm(QWidget* /*parent*/, const QString& text) override
    {
        questions.append(text);
        return answer;
    }

    QString lastText() const { return messages.empty() ? QString() : messages.back().text; }
    QStringList texts() const
    {
        QStringList all;
        for (const ShownMessage& message : messages)
            all.append(message.text);
        return all;
    }

    std::vector<ShownMessage> messages;
    QStringList questions;
    bool answer = true;
    // Runs while a message is "open": the moment a real box would be modal.
    std::function<void()> whileShown;
};
