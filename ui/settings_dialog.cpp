#include "settings_dialog.h"

#include <optional>
#include <string>

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QShortcut>

#include "dialog_units.h"
#include "field_text.h"
#include "message_presenter.h"
#include "resources.h"
#include "source_line_text.h"

namespace {

constexpr int dialogWidthUnits = 363;
constexpr int dialogHeightUnits = 241;
constexpr int labelWidth = 80;
constexpr int editWidth = 40;
constexpr int controlHeight = 15;

// One labelled edit of the dialog, in tab order. The mnemonic digits 0 to 8
// of the motion, plane and coordinate codes are their command numbers.
struct EditPlacement {
    const char* caption;
    const char* field;
    int labelX, labelY;
    int editX, editY;
};

constexpr EditPlacement editPlacements[] = {
    {"早送速度(&-)：", "rapidSpeed", 0, 5, 80, 5},
    {"小数点位置(&^)：", "decimalPlaces", 120, 5, 200, 5},
    {"ｱﾌﾞｿ表示行数(&@)：", "absoluteDisplayRows", 240, 5, 320, 5},
    {"初期移動指令(&M)：", "initialMotion", 0, 25, 80, 25},
    {"初期平面指令(&P)：", "initialPlane", 120, 25, 200, 25},
    {"初期座標指令(&C)：", "initialCoordinate", 240, 25, 320, 25},
    {"注釈開始指令(&S)：", "commentStart", 0, 46, 80, 46},
    {"注釈終了指令(&E)：", "commentEnd", 120, 46, 200, 45},
    {"動作指令(&A)：", "gCodeLetter", 240, 45, 320, 45},
    {"X軸指令(&X)：", "xAxisLetter", 0, 66, 80, 66},
    {"Y軸指令(&Y)：", "yAxisLetter", 120, 66, 200, 65},
    {"Z軸指令(&Z)：", "zAxisLetter", 240, 65, 320, 65},
    {"円弧I指令(&I)：", "arcILetter", 0, 86, 80, 86},
    {"円弧J指令(&J)：", "arcJLetter", 120, 86, 200, 85},
    {"円弧K指令(&K)：", "arcKLetter", 240, 85, 320, 85},
    {"円弧半径指令(&R)：", "radiusLetter", 0, 106, 80, 106},
    {"速度指令(&F)：", "feedLetter", 120, 106, 200, 105},
    {"早送指令(&0)：", "rapidCode", 240, 105, 320, 105},
    {"直線切削指令(&1)：", "linearCode", 0, 126, 80, 126},
    {"右廻円弧指令(&2)：", "cwArcCode", 120, 126, 200, 125},
    {"左廻円弧指令(&3)：", "ccwArcCode", 240, 125, 320, 125},
    {"XY平面指令(&4)：", "xyPlaneCode", 0, 145, 80, 145},
    {"ZX平面指令(&5)：", "zxPlaneCode", 120, 145, 200, 145},
    {"YZ平面指令(&6)：", "yzPlaneCode", 240, 145, 320, 145},
    {"ｱﾌﾞｿ指令(&7)：", "absoluteCode", 0, 166, 80, 166},
    {"ｲﾝｸ指令(&8)：", "incrementalCode", 120, 166, 200, 165},
    {"座標設定指令(&9)：", "coordinateSetCode", 240, 166, 320, 165},
    {"径補正解除指令(&[)：", "compCancelCode", 0, 185, 80, 185},
    {"左径補正指令(&])：", "compLeftCode", 120, 185, 200, 185},
    {"右径補正指令(&/)：", "compRightCode", 240, 185, 320, 185},
    {"値設定指令(&.)：", "valueSetCode", 0, 205, 80, 205},
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

struct CopyItemsButton {
    const char* caption;
    int x, width;
};

constexpr CopyItemsButton copyItemsButtons[] = {
    {"XY(&;)", 125, 35},
    {"XYZ(&:)", 160, 40},
    {"全項目(&,)", 205, 50},
};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
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
    return caption + text(" には半角の1文字を入力して下さい。");
}
QString notAnInteger(const QString& caption)
{
    return caption + text(" には整数を入力して下さい。");
}
QString notANumber(const QString& caption)
{
    return caption + text(" には数値を入力して下さい。");
}
QString outsideLimits(const QString& caption, int minimum, int maximum)
{
    return caption + text(" には %1 から %2 までの整数を入力して下さい。").arg(minimum).arg(maximum);
}

}  // namespace

SettingsDialog::SettingsDialog(drennix::Settings& settings, MessagePresenter& presenter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      settings_(settings),
      presenter_(presenter)
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(text("Drennixの設定"));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    buildControls();
    fillControls();

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &SettingsDialog::helpRequested);
}

void SettingsDialog::buildControls()
{
    const DialogUnits units(font());
    setFixedSize(units.toPixels(QSize(dialogWidthUnits, dialogHeightUnits)));

    for (const EditPlacement& placement : editPlacements) {
        auto* label = new QLabel(text(placement.caption), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        units.place(label, placement.labelX, placement.labelY, labelWidth, controlHeight);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(placement.field));
        edit->setAlignment(Qt::AlignCenter);
        units.place(edit, placement.editX, placement.editY, editWidth, controlHeight);
        label->setBuddy(edit);
        edits_.emplace_back(placement.field, edit);
        captions_.emplace_back(placement.field, captionWithoutMnemonic(placement.caption));
    }

    auto* frame = new QGroupBox(text("複写項目"), this);
    units.place(frame, 120, 205, 140, 30);
    copyItemsGroup_ = new QButtonGroup(this);
    int id = 0;
    for (const CopyItemsButton& button : copyItemsButtons) {
        auto* radio = new QRadioButton(text(button.caption), this);
        radio->setObjectName(QStringLiteral("copyItems%1").arg(id));
        units.place(radio, button.x, 215, button.width, controlHeight);
        copyItemsGroup_->addButton(radio, id++);
    }
    captions_.emplace_back("copyItems", text("複写項目"));

    // No button is the default: Enter does nothing here.
    auto* closeButton = new QPushButton(text("閉じる"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAutoDefault(false);
    units.place(closeButton, 265, 215, 45, controlHeight);
    connect(closeButton, &QPushButton::clicked, this, &SettingsDialog::reject);
    auto* helpButton = new QPushButton(text("ﾍﾙﾌﾟ(&H)"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    helpButton->setAutoDefault(false);
    units.place(helpButton, 315, 215, 45, controlHeight);
    connect(helpButton, &QPushButton::clicked, this, &SettingsDialog::helpRequested);
}

// Shows the current values; a letter edit takes one character.
void SettingsDialog::fillControls()
{
    for (const drennix::SettingField& field : drennix::settingFields()) {
        if (field.name == "copyItems") {
            QAbstractButton* button = copyItemsGroup_->button(settings_.process.copyItems);
            if (button == nullptr) button = copyItemsGroup_->button(settings_.process.copyItems < 1 ? 0 : 2);
            button->setChecked(true);
            continue;
        }
        QLineEdit* fieldEdit = edit(field.name);
        if (fieldEdit == nullptr) continue;
        switch (field.kind) {
        case drennix::SettingKind::Letter:
            fieldEdit->setMaxLength(1);
            fieldEdit->setText(decodeSourceLine(settings_.vocabulary.*field.letter));
            break;
        case drennix::SettingKind::GCode: fieldEdit->setText(formatNumber(settings_.vocabulary.*field.code)); break;
        case drennix::SettingKind::Integer:
            fieldEdit->setText(QString::number(settings_.process.*field.integer));
            break;
        }
    }
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
    return true;
}

void SettingsDialog::reject()
{
    if (!storeFields()) return;
    if (const std::optional<std::string> failure = drennix::validateVocabulary(settings_)) {
        presenter_.showMessage(this, QString::fromStdString(*failure), drennix::MessageKind::Warning);
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
