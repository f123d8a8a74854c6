// The machine model on the settings dialog's page of other controllers: a
// table of the per-axis rates and accelerations, the corner, look-ahead and
// block time below it, and whether every run also estimates the machine's
// time.
#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QGroupBox>
#include <QString>

#include "vocabulary.h"

class QCheckBox;
class QLineEdit;

// An entry the group refused: the edit to put the focus on and the message.
struct RefusedEntry {
    QLineEdit* edit = nullptr;
    QString message;
};

class MachineSettings final : public QGroupBox {
    Q_OBJECT

public:
    explicit MachineSettings(QWidget* parent = nullptr);

    // The edit of a field, by its code name ("accelerationX").
    QLineEdit* edit(std::string_view fieldName) const;
    QCheckBox* estimateBox() const { return estimate_; }

    void fill(const drennix::Settings& values);
    // Reads every edit into `settings`, then checks the model's ranges; the
    // first refused entry, if any (`settings` may then hold part of the
    // entries, as the other pages' fields do).
    std::optional<RefusedEntry> store(drennix::Settings& settings) const;

private:
    std::vector<std::pair<std::string_view, QLineEdit*>> edits_;
    QCheckBox* estimate_;
};
