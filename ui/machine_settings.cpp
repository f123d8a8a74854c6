#include "machine_settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "field_text.h"
#include "machine_model.h"
#include "messages.h"
#include "ui_texts.h"

namespace {

using texts::text;

QString captionOf(const drennix::MachineField& field)
{
    return QString::fromUtf8(field.caption.data(), static_cast<qsizetype>(field.caption.size()));
}

}  // namespace

MachineSettings::MachineSettings(QWidget* parent)
    : QGroupBox(text(texts::machineFrame), parent), estimate_(new QCheckBox(text(texts::estimateCheck), this))
{
    setObjectName(QStringLiteral("machineSettings"));
    estimate_->setObjectName(QStringLiteral("estimate"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(estimate_, 0, 0, 1, 4);
    const char* const axes[] = {texts::machineAxisX, texts::machineAxisY, texts::machineAxisZ};
    for (int column = 0; column < 3; ++column)
        grid->addWidget(new QLabel(text(axes[column]), this), 1, column + 1, Qt::AlignHCenter);
    // The per-axis fields come in threes (X, Y, Z) in machineFields(); each
    // row takes its caption from texts::machineRows, the single ones one row
    // each below them.
    int row = 2;
    int column = 0;
    std::size_t caption = 0;
    for (const drennix::MachineField& field : drennix::machineFields()) {
        const bool perAxis = field.axisNumbers != nullptr;
        if (column == 0) {
            // A field without a row caption of its own is named as in messages.
            const QString name = caption < std::size(texts::machineRows) ? text(texts::machineRows[caption])
                                                                         : captionOf(field) + QStringLiteral("：");
            grid->addWidget(new QLabel(name, this), row, 0);
            ++caption;
        }
        auto* fieldEdit = new QLineEdit(this);
        fieldEdit->setObjectName(QString::fromLatin1(field.name.data(), static_cast<qsizetype>(field.name.size())));
        fieldEdit->setToolTip(captionOf(field));
        grid->addWidget(fieldEdit, row, column + 1);
        edits_.emplace_back(field.name, fieldEdit);
        column = perAxis && column < 2 ? column + 1 : 0;
        if (column == 0) ++row;
    }
}

QLineEdit* MachineSettings::edit(std::string_view fieldName) const
{
    for (const auto& [name, fieldEdit] : edits_) {
        if (name == fieldName) return fieldEdit;
    }
    return nullptr;
}

void MachineSettings::fill(const drennix::Settings& values)
{
    for (const drennix::MachineField& field : drennix::machineFields()) {
        const double value = field.value(values.machine);
        edit(field.name)
            ->setText(field.isChoice() ? QString::fromUtf8(field.names[static_cast<std::size_t>(value)])
                                       : formatNumber(value));
    }
    estimate_->setChecked(values.estimate);
}

std::optional<RefusedEntry> MachineSettings::store(drennix::Settings& settings) const
{
    for (const drennix::MachineField& field : drennix::machineFields()) {
        QLineEdit* fieldEdit = edit(field.name);
        if (field.isChoice()) {
            const std::optional<int> value = field.choiceOf(fieldEdit->text().trimmed().toStdString());
            if (!value) {
                return RefusedEntry{fieldEdit,
                                    QString::fromStdString(drennix::messages::machineValueOutOfRange(field))};
            }
            field.assign(settings.machine, *value);
        } else if (field.isInteger()) {
            const std::optional<int> value = parseInteger(fieldEdit->text());
            if (!value) return RefusedEntry{fieldEdit, captionOf(field) + text(texts::notAnInteger)};
            field.assign(settings.machine, *value);
        } else {
            const std::optional<double> value = parseNumber(fieldEdit->text());
            if (!value) return RefusedEntry{fieldEdit, captionOf(field) + text(texts::notANumber)};
            field.assign(settings.machine, *value);
        }
    }
    settings.estimate = estimate_->isChecked();
    if (const drennix::MachineField* field = drennix::fieldOutOfRange(settings.machine)) {
        return RefusedEntry{edit(field->name),
                            QString::fromStdString(drennix::messages::machineValueOutOfRange(*field))};
    }
    return std::nullopt;
}
