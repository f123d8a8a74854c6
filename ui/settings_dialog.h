// The editor of the command vocabulary and the process settings. It edits the
// application's Settings in place and has one closing action (閉じる, Escape,
// the close box), which stores every field and closes only when the whole
// configuration passes validation. There is no way to discard an edit; 既定値
// puts the defaults into the fields, to be stored as any entry.
//
// The fields stand on a first page; the settings that came later stand on
// further pages (addPage): the dialog shows its pages as tabs, the first one
// as it looks alone, with the buttons in a row below. The second page holds
// the dialect settings of other controllers, each a check box, and the machine
// the estimate of the running time assumes.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include <QDialog>

#include "vocabulary.h"

class MachineSettings;
class MessagePresenter;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(drennix::Settings& settings, MessagePresenter& presenter, QWidget* parent = nullptr);

    // The edit of a field, by its code name ("xAxisLetter"); null for
    // copyItems, which is the radio group.
    QLineEdit* edit(std::string_view fieldName) const;
    QButtonGroup* copyItemsGroup() const { return copyItemsGroup_; }
    // The check box of an on/off setting of the dialect page, by its code
    // name ("lowerCaseLetters"); null for the other fields.
    QCheckBox* checkBox(std::string_view fieldName) const;
    QWidget* firstPage() const { return firstPage_; }
    // The machine model and the estimate switch, on the second page.
    MachineSettings* machineSettings() const { return machine_; }
    // Null while the first page is the only one.
    QTabWidget* pages() const { return pages_; }

    // Adds a page of further settings under the tab `title`; the dialog owns it.
    void addPage(QWidget* page, const QString& title);

    // 既定値: the default of every setting into its field.
    void showDefaults();

    // The closing action: store the fields in the exchange order, stopping at
    // the first bad entry (message, focus on it), then validate (message,
    // focus on the field to correct); the dialog ends only when both pass.
    void reject() override;
    void accept() override;

signals:
    void helpRequested();

protected:
    // Enter neither closes the dialog nor presses a button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    QWidget* buildDialectPage();
    QPushButton* makeButton(const char* caption, const char* name);
    void fillControls(const drennix::Settings& values);
    bool storeFields();
    bool storeField(const drennix::SettingField& field);
    bool refuseEntry(QLineEdit* edit, const QString& message);
    QString captionOf(std::string_view fieldName) const;
    std::string_view fieldToCorrect(const drennix::VocabularyFault& fault) const;

    drennix::Settings& settings_;
    // The settings as the dialog opened.
    const drennix::Settings opened_;
    MessagePresenter& presenter_;
    std::vector<std::pair<std::string_view, QLineEdit*>> edits_;
    std::vector<std::pair<std::string_view, QString>> captions_;
    std::vector<std::pair<std::string_view, QCheckBox*>> checkBoxes_;
    QButtonGroup* copyItemsGroup_ = nullptr;
    MachineSettings* machine_ = nullptr;
    QWidget* firstPage_;
    QTabWidget* pages_ = nullptr;
    // 既定値, 閉じる, ﾍﾙﾌﾟ.
    std::vector<QPushButton*> buttons_;
};
