#include "settings_dialog.h"

#include <optional>
#include <string>
#include <tuple>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialog_units.h"
#include "field_text.h"
#include "machine_settings.h"
#include "message_presenter.h"
#include "resources.h"
#include "source_line_text.h"
#include "ui_texts.h"

namespace {

constexpr int dialogWidthUnits = 363;
constexpr int dialogHeightUnits = 241;
constexpr int labelWidth = 80;
constexpr int editWidth = 40;
constexpr int controlHeight = 15;

// One labelled edit of the first page, in tab order; its caption is the
// field's in texts::settingCaptions.
struct EditPlacement {
    const char* field;
    int labelX, labelY;
    int editX, editY;
};

constexpr EditPlacement editPlacements[] = {
    {"rapidSpeed", 0, 5, 80, 5},
    {"decimalPlaces", 120, 5, 200, 5},
    {"absoluteDisplayRows", 240, 5, 320, 5},
    {"initialMotion", 0, 25, 80, 25},
    {"initialPlane", 120, 25, 200, 25},
    {"initialCoordinate", 240, 25, 320, 25},
    {"commentStart", 0, 46, 80, 46},
    {"commentEnd", 120, 46, 200, 45},
    {"gCodeLetter", 240, 45, 320, 45},
    {"xAxisLetter", 0, 66, 80, 66},
    {"yAxisLetter", 120, 66, 200, 65},
    {"zAxisLetter", 240, 65, 320, 65},
    {"arcILetter", 0, 86, 80, 86},
    {"arcJLetter", 120, 86, 200, 85},
    {"arcKLetter", 240, 85, 320, 85},
    {"radiusLetter", 0, 106, 80, 106},
    {"feedLetter", 120, 106, 200, 105},
    {"rapidCode", 240, 105, 320, 105},
    {"linearCode", 0, 126, 80, 126},
    {"cwArcCode", 120, 126, 200, 125},
    {"ccwArcCode", 240, 125, 320, 125},
    {"xyPlaneCode", 0, 145, 80, 145},
    {"zxPlaneCode", 120, 145, 200, 145},
    {"yzPlaneCode", 240, 145, 320, 145},
    {"absoluteCode", 0, 166, 80, 166},
    {"incrementalCode", 120, 166, 200, 165},
    {"coordinateSetCode", 240, 166, 320, 165},
    {"compCancelCode", 0, 185, 80, 185},
    {"compLeftCode", 120, 185, 200, 185},
    {"compRightCode", 240, 185, 320, 185},
    {"valueSetCode", 0, 205, 80, 205},
};

// The order in which the closing action stores the fields; when several are
// bad, the first in this order is reported.
constexpr const char* exchangeOrder[] = {
    "gCodeLetter",   "copyItems",    "absoluteCode", "absoluteDisplayRows", "initialCoordinate", "coordinateSetCode",
    "decimalPlaces", "rapidCode",    "rapidSpeed",   "incrementalCode",     "compCancelCode",    "compLeftCode",
    "compRightCode", "ccwArcCode",   "linearCode",   "initialMotion",       "initialPlane",      "cwArcCode",
    "feedLetter",    "xyPlaneCode",  "yzPlaneCode",  "zxPlaneCode",         "arcILetter",        "arcJLetter",
    "arcKLetter",    "radiusLetter", "xAxisLetter",  "yAxisLetter",         "zAxisLetter",       "commentEnd",
    "commentStart",  "valueSetCode",
};

// The on/off settings of the dialect page, in their order there.
constexpr const char* dialectSwitches[] = {
    "calculatorDecimals",
    "lowerCaseLetters",
    "semicolonComments",
    "endAtProgramEnd",
    "arcTurnsByP",
    "cannedCycles",
    "dwell",
    "linuxcncCycles",
    "expandCycles",
    "toleranceIncludesRounding",
    "referenceReturn",
    "inchUnits",
    "workOffsets",
    "spacesInWords",
    "partialCoordinateSet",
    "rotaryAxes",
    "rapidUnderCompensation",
    "expressionsNamed",
    "toolChanges",
    "subprograms",
    "expandSubprograms",
};
// The switches of the first column; the others stand in the second.
constexpr std::size_t dialectFirstColumn = 10;

struct CopyItemsButton {
    const char* caption;
    int x, width;
};

constexpr CopyItemsButton copyItemsButtons[] = {
    {texts::copyItemsXY, 125, 35},
    {texts::copyItemsXYZ, 160, 40},
    {texts::copyItemsAll, 205, 50},
};

// The buttons of the dialog: where they stand on the first page when it is
// the only one.
struct ButtonPlacement {
    const char* caption;
    const char* name;
    int x, y;
};

constexpr ButtonPlacement defaultsPlacement{texts::defaultsButton, "defaultsButton", 5, 221};
constexpr ButtonPlacement closePlacement{texts::closeButton, "closeButton", 265, 215};
constexpr ButtonPlacement helpPlacement{texts::helpButton, "helpButton", 315, 215};
constexpr int buttonWidth = 45;

using texts::text;

// The first page: its controls stand at fixed places, so it asks for the size
// it was given, also as a tab.
class FixedPage final : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return minimumSize(); }
};

const char* fieldCaption(std::string_view field)
{
    for (const texts::SettingCaption& entry : texts::settingCaptions) {
        if (entry.field == field) return entry.caption;
    }
    return "";
}

// "X軸指令(&X)：" → "X軸指令": the caption as the messages name it.
QString captionWithoutMnemonic(const char* caption)
{
    QString name = text(caption);
    name.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    name.remove(QChar(0xFF1A));  // full-width colon
    return name;
}

// Entry messages of the fields.
QString letterTooLong(const QString& caption)
{
    return caption + text(texts::letterTooLong);
}
QString notAnInteger(const QString& caption)
{
    return caption + text(texts::notAnInteger);
}
QString notANumber(const QString& caption)
{
    return caption + text(texts::notANumber);
}
QString outsideLimits(const QString& caption, int minimum, int maximum)
{
    return caption + text(texts::outsideLimits).arg(minimum).arg(maximum);
}

}  // namespace

SettingsDialog::SettingsDialog(drennix::Settings& settings, MessagePresenter& presenter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings),
      opened_(settings),
      presenter_(presenter),
      firstPage_(new FixedPage(this))
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(text(texts::settingsTitle));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    buildControls();
    fillControls(settings_);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &SettingsDialog::helpRequested);
}

QPushButton* SettingsDialog::makeButton(const char* caption, const char* name)
{
    // No button is the default: Enter does nothing here.
    auto* button = new QPushButton(text(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    buttons_.push_back(button);
    return button;
}

void SettingsDialog::buildControls()
{
    const DialogUnits units(font());
    const QSize size = units.toPixels(QSize(dialogWidthUnits, dialogHeightUnits));
    setFixedSize(size);
    firstPage_->setObjectName(QStringLiteral("firstPage"));
    firstPage_->setGeometry(QRect(QPoint(0, 0), size));
    firstPage_->setMinimumSize(size);

    for (const EditPlacement& placement : editPlacements) {
        const char* caption = fieldCaption(placement.field);
        auto* label = new QLabel(text(caption), firstPage_);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        units.place(label, placement.labelX, placement.labelY, labelWidth, controlHeight);
        auto* edit = new QLineEdit(firstPage_);
        edit->setObjectName(QString::fromLatin1(placement.field));
        edit->setAlignment(Qt::AlignCenter);
        units.place(edit, placement.editX, placement.editY, editWidth, controlHeight);
        label->setBuddy(edit);
        edits_.emplace_back(placement.field, edit);
        captions_.emplace_back(placement.field, captionWithoutMnemonic(caption));
    }

    auto* frame = new QGroupBox(text(texts::copyItemsFrame), firstPage_);
    units.place(frame, 120, 205, 140, 30);
    copyItemsGroup_ = new QButtonGroup(this);
    int id = 0;
    for (const CopyItemsButton& button : copyItemsButtons) {
        auto* radio = new QRadioButton(text(button.caption), firstPage_);
        radio->setObjectName(QStringLiteral("copyItems%1").arg(id));
        units.place(radio, button.x, 215, button.width, controlHeight);
        copyItemsGroup_->addButton(radio, id++);
    }
    captions_.emplace_back("copyItems", text(texts::copyItemsFrame));

    QPushButton* defaults = makeButton(defaultsPlacement.caption, defaultsPlacement.name);
    connect(defaults, &QPushButton::clicked, this, &SettingsDialog::showDefaults);
    QPushButton* close = makeButton(closePlacement.caption, closePlacement.name);
    connect(close, &QPushButton::clicked, this, &SettingsDialog::reject);
    QPushButton* help = makeButton(helpPlacement.caption, helpPlacement.name);
    connect(help, &QPushButton::clicked, this, &SettingsDialog::helpRequested);
    const ButtonPlacement placements[] = {defaultsPlacement, closePlacement, helpPlacement};
    for (std::size_t i = 0; i < std::size(placements); ++i)
        units.place(buttons_[i], placements[i].x, placements[i].y, buttonWidth, controlHeight);

    addPage(buildDialectPage(), text(texts::dialectPageTitle));
}

QWidget* SettingsDialog::buildDialectPage()
{
    const DialogUnits units(font());
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("dialectPage"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(units.toPixelsX(10), units.toPixelsY(8), units.toPixelsX(10), units.toPixelsY(8));
    layout->setSpacing(units.toPixelsY(4));
    auto* note = new QLabel(text(texts::dialectPageNote), page);
    note->setWordWrap(true);
    layout->addWidget(note);
    // The dialects set every switch at once; each can still be changed.
    auto* presets = new QHBoxLayout;
    const std::tuple<const char*, const char*, drennix::Dialect> dialects[] = {
        {texts::dialectStandard, "dialectStandard", drennix::Dialect::Standard},
        {texts::dialectLinuxCnc, "dialectLinuxCnc", drennix::Dialect::LinuxCnc},
        {texts::dialectFanuc, "dialectFanuc", drennix::Dialect::Fanuc},
    };
    for (const auto& [caption, name, dialect] : dialects) {
        auto* button = new QPushButton(text(caption), page);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, dialect = dialect] {
            drennix::ProcessSettings chosen;
            drennix::applyDialect(chosen, dialect);
            // How a conversion writes is no part of a reading.
            for (const auto& [field, box] : checkBoxes_) {
                if (field == "expandCycles" || field == "toleranceIncludesRounding") continue;
                box->setChecked(chosen.*(drennix::findSettingField(field)->integer) != 0);
            }
        });
        presets->addWidget(button);
    }
    presets->addStretch();
    layout->addLayout(presets);
    auto* switches = new QGridLayout;
    switches->setVerticalSpacing(units.toPixelsY(4));
    switches->setHorizontalSpacing(units.toPixelsX(12));
    layout->addLayout(switches);
    for (std::size_t k = 0; k < std::size(dialectSwitches); ++k) {
        const char* field = dialectSwitches[k];
        const char* caption = fieldCaption(field);
        auto* box = new QCheckBox(text(caption), page);
        box->setObjectName(QString::fromLatin1(field));
        const bool first = k < dialectFirstColumn;
        switches->addWidget(box, static_cast<int>(first ? k : k - dialectFirstColumn), first ? 0 : 1);
        checkBoxes_.emplace_back(field, box);
        captions_.emplace_back(field, captionWithoutMnemonic(caption));
    }
    machine_ = new MachineSettings(page);
    layout->addWidget(machine_);
    layout->addStretch();
    return page;
}

QCheckBox* SettingsDialog::checkBox(std::string_view fieldName) const
{
    for (const auto& [name, box] : checkBoxes_) {
        if (name == fieldName) return box;
    }
    return nullptr;
}

void SettingsDialog::addPage(QWidget* page, const QString& title)
{
    const DialogUnits units(font());
    if (pages_ == nullptr) {
        pages_ = new QTabWidget(this);
        pages_->setObjectName(QStringLiteral("settingsPages"));
        pages_->addTab(firstPage_, text(texts::firstPageTitle));
    }
    pages_->addTab(page, title);
    const QSize pagesSize = pages_->sizeHint();
    pages_->setGeometry(QRect(QPoint(0, 0), pagesSize));
    pages_->show();
    // The buttons in a row below the pages: 既定値 on the left, 閉じる and
    // ﾍﾙﾌﾟ on the right.
    const int gap = units.toPixelsX(5);
    const int rowTop = pagesSize.height() + units.toPixelsY(5);
    const QSize button = units.toPixels(QSize(buttonWidth, controlHeight));
    buttons_[0]->setGeometry(QRect(QPoint(gap, rowTop), button));
    buttons_[2]->setGeometry(QRect(QPoint(pagesSize.width() - gap - button.width(), rowTop), button));
    buttons_[1]->setGeometry(QRect(QPoint(buttons_[2]->x() - gap - button.width(), rowTop), button));
    setFixedSize(pagesSize.width(), rowTop + button.height() + units.toPixelsY(5));
}

void SettingsDialog::showDefaults()
{
    drennix::Settings defaults;
    drennix::resetToDefaults(defaults);
    fillControls(defaults);
}

// Shows `values`; a letter edit takes one character.
void SettingsDialog::fillControls(const drennix::Settings& values)
{
    for (const drennix::SettingField& field : drennix::settingFields()) {
        if (field.name == "copyItems") {
            QAbstractButton* button = copyItemsGroup_->button(values.process.copyItems);
            if (button == nullptr) button = copyItemsGroup_->button(values.process.copyItems < 1 ? 0 : 2);
            button->setChecked(true);
            continue;
        }
        if (QCheckBox* box = checkBox(field.name)) {
            box->setChecked(values.process.*field.integer != 0);
            continue;
        }
        QLineEdit* fieldEdit = edit(field.name);
        if (fieldEdit == nullptr) continue;
        switch (field.kind) {
        case drennix::SettingKind::Letter:
            fieldEdit->setMaxLength(1);
            fieldEdit->setText(decodeSourceLine(values.vocabulary.*field.letter));
            break;
        case drennix::SettingKind::GCode: fieldEdit->setText(formatNumber(values.vocabulary.*field.code)); break;
        case drennix::SettingKind::Integer: fieldEdit->setText(QString::number(values.process.*field.integer)); break;
        }
    }
    machine_->fill(values);
}

QLineEdit* SettingsDialog::edit(std::string_view fieldName) const
{
    for (const auto& [name, fieldEdit] : edits_) {
        if (name == fieldName) return fieldEdit;
    }
    return nullptr;
}

QString SettingsDialog::captionOf(std::string_view fieldName) const
{
    for (const auto& [name, caption] : captions_) {
        if (name == fieldName) return caption;
    }
    return QString::fromUtf8(fieldName.data(), static_cast<qsizetype>(fieldName.size()));
}

bool SettingsDialog::refuseEntry(QLineEdit* fieldEdit, const QString& message)
{
    // Every edit stands on the first page.
    if (pages_ != nullptr) pages_->setCurrentWidget(firstPage_);
    presenter_.showMessage(this, message, drennix::MessageKind::Warning);
    fieldEdit->setFocus(Qt::OtherFocusReason);
    fieldEdit->selectAll();
    return false;
}

bool SettingsDialog::storeField(const drennix::SettingField& field)
{
    if (field.name == "copyItems") {
        settings_.process.copyItems = copyItemsGroup_->checkedId();
        return true;
    }
    QLineEdit* fieldEdit = edit(field.name);
    if (fieldEdit == nullptr) return true;
    const QString caption = captionOf(field.name);
    switch (field.kind) {
    case drennix::SettingKind::Letter: {
        // A letter is one byte of the source text (code page 932): half-width
        // characters pass here, and the validation then judges them.
        const std::optional<std::string> bytes = encodeCodePage932(fieldEdit->text());
        if (!bytes || bytes->size() > 1) return refuseEntry(fieldEdit, letterTooLong(caption));
        settings_.vocabulary.*field.letter = *bytes;
        return true;
    }
    case drennix::SettingKind::GCode: {
        const std::optional<double> value = parseNumber(fieldEdit->text());
        if (!value) return refuseEntry(fieldEdit, notANumber(caption));
        settings_.vocabulary.*field.code = *value;
        return true;
    }
    case drennix::SettingKind::Integer: {
        const std::optional<int> value = parseInteger(fieldEdit->text());
        if (!value) return refuseEntry(fieldEdit, notAnInteger(caption));
        if (field.hasLimits && (*value < field.minimum || *value > field.maximum)) {
            return refuseEntry(fieldEdit, outsideLimits(caption, field.minimum, field.maximum));
        }
        settings_.process.*field.integer = *value;
        return true;
    }
    }
    return true;
}

bool SettingsDialog::storeFields()
{
    for (const char* name : exchangeOrder) {
        const drennix::SettingField* field = drennix::findSettingField(name);
        if (field != nullptr && !storeField(*field)) return false;
    }
    // A check box holds no bad entry.
    for (const auto& [name, box] : checkBoxes_)
        settings_.process.*drennix::findSettingField(name)->integer = box->isChecked() ? 1 : 0;
    if (const std::optional<RefusedEntry> refused = machine_->store(settings_)) {
        pages_->setCurrentWidget(machine_->parentWidget());
        presenter_.showMessage(this, refused->message, drennix::MessageKind::Warning);
        refused->edit->setFocus(Qt::OtherFocusReason);
        refused->edit->selectAll();
        return false;
    }
    return true;
}

// Of two fields with the same value, the one changed since the dialog opened
// is the one to correct; when both or neither changed, the second named.
std::string_view SettingsDialog::fieldToCorrect(const drennix::VocabularyFault& fault) const
{
    if (fault.otherField.empty()) return fault.field;
    const auto changed = [this](std::string_view name) {
        const drennix::SettingField* field = drennix::findSettingField(name);
        if (field == nullptr) return false;
        switch (field->kind) {
        case drennix::SettingKind::Letter:
            return settings_.vocabulary.*field->letter != opened_.vocabulary.*field->letter;
        case drennix::SettingKind::GCode: return settings_.vocabulary.*field->code != opened_.vocabulary.*field->code;
        case drennix::SettingKind::Integer: return settings_.process.*field->integer != opened_.process.*field->integer;
        }
        return false;
    };
    return changed(fault.field) && !changed(fault.otherField) ? fault.field : fault.otherField;
}

void SettingsDialog::reject()
{
    if (!storeFields()) return;
    if (const std::optional<drennix::VocabularyFault> fault = drennix::findVocabularyFault(settings_)) {
        // The message, then the focus and the selection on the field to correct.
        if (QLineEdit* fieldEdit = edit(fieldToCorrect(*fault))) {
            refuseEntry(fieldEdit, QString::fromStdString(fault->message));
        } else {
            presenter_.showMessage(this, QString::fromStdString(fault->message), drennix::MessageKind::Warning);
        }
        return;
    }
    QDialog::accept();
}

// The dialog has no OK button: accepting is the closing action too.
void SettingsDialog::accept()
{
    reject();
}

void SettingsDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
