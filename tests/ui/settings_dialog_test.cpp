// The settings dialog: it shows the current values, stores the fields in
// their exchange order, refuses to close on every kind of bad entry or
// invalid configuration, closes on valid values, puts the defaults back with
// 既定値, keeps the layout of its first page among tabs, and holds the
// dialect settings as check boxes on its second page.
#include <QtTest>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "dialog_units.h"
#include "machine_settings.h"
#include "recording_presenter.h"
#include "settings_dialog.h"

namespace {

drennix::Settings defaults()
{
    drennix::Settings settings;
    drennix::resetToDefaults(settings);
    return settings;
}

struct Fixture {
    explicit Fixture(const drennix::Settings& start = defaults()) : settings(start), dialog(settings, presenter)
    {
        dialog.show();
    }

    QLineEdit* edit(const char* field) const { return dialog.edit(field); }
    void type(const char* field, const char* text) const { edit(field)->setText(QString::fromUtf8(text)); }

    drennix::Settings settings;
    RecordingPresenter presenter;
    SettingsDialog dialog;
};

}  // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

private slots:
    // A stored half-width katakana letter shows as that letter.
    void showsTheCurrentValues()
    {
        drennix::Settings start = defaults();
        start.vocabulary.feedLetter = std::string(1, static_cast<char>(0xB1));
        Fixture f(start);
        const char* const expected[][2] = {{"rapidSpeed", "3000"}, {"absoluteDisplayRows", "1500"},
                                           {"initialPlane", "4"},  {"commentStart", "("},
                                           {"xAxisLetter", "X"},   {"rapidCode", "0"},
                                           {"xyPlaneCode", "17"},  {"valueSetCode", "10"},
                                           {"feedLetter", "ｱ"}};
        for (const auto& [field, text] : expected)
            QCOMPARE(f.edit(field)->text(), QString::fromUtf8(text));
        QCOMPARE(f.dialog.copyItemsGroup()->checkedId(), 0);
    }

    void refusesToClose_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");

        // Entries the dialog itself refuses.
        QTest::newRow("integer that does not parse") << "rapidSpeed"
                                                     << "3000.5"
                                                     << "早送速度 には整数を入力して下さい。";
        QTest::newRow("decimal places above 9") << "decimalPlaces"
                                                << "10"
                                                << "小数点位置 には 0 から 9 までの整数を入力して下さい。";
        QTest::newRow("rows below 99") << "absoluteDisplayRows"
                                       << "98"
                                       << "ｱﾌﾞｿ表示行数 には 99 から 99999 までの整数を入力して下さい。";
        QTest::newRow("motion above 3") << "initialMotion"
                                        << "4"
                                        << "初期移動指令 には 0 から 3 までの整数を入力して下さい。";
        QTest::newRow("plane below 4") << "initialPlane"
                                       << "3"
                                       << "初期平面指令 には 4 から 6 までの整数を入力して下さい。";
        QTest::newRow("coordinate 9") << "initialCoordinate"
                                      << "9"
                                      << "初期座標指令 には 7 から 8 までの整数を入力して下さい。";
        QTest::newRow("number that does not parse") << "cwArcCode"
                                                    << "2,5"
                                                    << "右廻円弧指令 には数値を入力して下さい。";
        QTest::newRow("empty number") << "valueSetCode"
                                      << ""
                                      << "値設定指令 には数値を入力して下さい。";
        QTest::newRow("full-width letter") << "xAxisLetter"
                                           << "Ｘ"
                                           << "X軸指令 には半角の1文字を入力して下さい。";

        // Stored, then refused by the validation of the configuration; of two
        // equal fields, the one changed is the one to correct.
        QTest::newRow("empty letter") << "xAxisLetter"
                                      << ""
                                      << "X軸指令 を入力して下さい。";
        QTest::newRow("rapid speed below 10") << "rapidSpeed"
                                              << "9"
                                              << "早送り速度 には10以上を入力して下さい。";
        QTest::newRow("digit as letter") << "feedLetter"
                                         << "5"
                                         << "速度指令 が英字以外の為に入力し直して下さい。";
        QTest::newRow("half-width katakana letter") << "xAxisLetter"
                                                    << "ｱ"
                                                    << "X軸指令 が英字以外の為に入力し直して下さい。";
        QTest::newRow("same letters") << "radiusLetter"
                                      << "X"
                                      << "X軸指令 と 円弧半径指令 が同じの為に入力し直して下さい。";
        QTest::newRow("same codes") << "linearCode"
                                    << "17"
                                    << "直線切削指令 と XY平面指令 が同じの為に入力し直して下さい。";
        QTest::newRow("same codes 1 and 1.0") << "compRightCode"
                                              << "1.0"
                                              << "直線切削指令 と 右径補正指令 が同じの為に入力し直して下さい。";
    }

    // The message and the focus on the field to correct: the field that broke
    // a rule, or of two equal fields the one changed since the dialog opened,
    // the second named when both or neither changed.
    void refusesToClose()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Fixture f;
        QLineEdit* edit = f.dialog.edit(field.toStdString());
        edit->setText(text);
        f.dialog.reject();
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.presenter.texts(), QStringList{message});
        QCOMPARE(f.presenter.messages.front().kind, drennix::MessageKind::Warning);
        // The focus on the field, its value kept and selected for the user
        // to correct.
        QCOMPARE(f.dialog.focusWidget(), edit);
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->selectedText(), text);
    }

    void focusesTheSecondOfTwoEqualFieldsBothChanged()
    {
        Fixture f;
        f.type("xAxisLetter", "Q");
        f.type("radiusLetter", "Q");
        f.dialog.reject();
        QCOMPARE(f.presenter.lastText(), QString::fromUtf8("X軸指令 と 円弧半径指令 が同じの為に入力し直して下さい。"));
        QCOMPARE(f.dialog.focusWidget(), f.edit("radiusLetter"));
        QCOMPARE(f.edit("radiusLetter")->selectedText(), QStringLiteral("Q"));
    }

    // Each closing attempt stores the fields in exchange order up to the first
    // bad one, which alone is reported; the ones after it are not yet in force.
    void storesFieldsInExchangeOrderUpToTheFirstBadOne()
    {
        Fixture f;
        f.type("gCodeLetter", "H");               // first
        f.type("absoluteDisplayRows", "100000");  // refused
        f.type("feedLetter", "E");                // after it: not reached
        f.type("zAxisLetter", "");                // refused by the validation
        f.dialog.reject();
        QCOMPARE(f.presenter.texts(),
                 QStringList{QString::fromUtf8("ｱﾌﾞｿ表示行数 には 99 から 99999 までの整数を入力して下さい。")});
        QCOMPARE(f.settings.vocabulary.gCodeLetter, std::string("H"));
        QCOMPARE(f.settings.process.absoluteDisplayRows, 1500);
        QCOMPARE(f.settings.vocabulary.feedLetter, std::string("F"));
        f.type("absoluteDisplayRows", "2000");
        f.dialog.reject();
        QCOMPARE(f.presenter.lastText(), QString::fromUtf8("Z軸指令 を入力して下さい。"));
        f.type("zAxisLetter", "Z");
        f.dialog.reject();
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.presenter.messages.size(), std::size_t{2});
        QCOMPARE(f.settings.process.absoluteDisplayRows, 2000);
        QCOMPARE(f.settings.vocabulary.feedLetter, std::string("E"));
    }

    // Closing stores every edit and changes nothing else.
    void storesEditedValuesOnClosing()
    {
        Fixture f;
        f.type("initialPlane", "5");
        f.type("cwArcCode", "2.5");
        f.type("xAxisLetter", "U");
        f.type("rapidSpeed", "  12000 ");
        f.dialog.copyItemsGroup()->button(2)->click();
        f.dialog.reject();
        QVERIFY(!f.dialog.isVisible());
        QVERIFY(f.presenter.messages.empty());
        drennix::Settings expected = defaults();
        expected.process.initialPlane = 5;
        expected.vocabulary.cwArcCode = 2.5;
        expected.vocabulary.xAxisLetter = std::string(1, 'U');
        expected.process.rapidSpeed = 12000;
        expected.process.copyItems = 2;
        QCOMPARE(f.settings, expected);
    }

    // Escape is the closing action, Enter is nothing at all.
    void enterDoesNothingAndEscapeCloses()
    {
        Fixture f;
        f.type("xAxisLetter", "");
        QTest::keyClick(f.edit("xAxisLetter"), Qt::Key_Return);
        QTest::keyClick(f.edit("rapidSpeed"), Qt::Key_Enter);
        QTest::keyClick(&f.dialog, Qt::Key_Return);
        QVERIFY(f.dialog.isVisible());
        QVERIFY(f.presenter.messages.empty());
        QCOMPARE(f.settings.vocabulary.xAxisLetter, std::string("X"));
        QTest::keyClick(f.edit("xAxisLetter"), Qt::Key_Escape);
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.presenter.texts(), QStringList{QString::fromUtf8("X軸指令 を入力して下さい。")});
        f.type("xAxisLetter", "X");
        QTest::keyClick(f.edit("xAxisLetter"), Qt::Key_Escape);
        QVERIFY(!f.dialog.isVisible());
    }

    // 既定値 shows every default, typed over or stored before; only closing
    // stores them, as any entry.
    void defaultsComeBackIntoTheFields()
    {
        drennix::Settings start = defaults();
        start.vocabulary.xAxisLetter = std::string(1, 'U');
        start.vocabulary.xyPlaneCode = 170;
        start.process.absoluteDisplayRows = 99;
        start.process.copyItems = 2;
        Fixture f(start);
        f.type("rapidSpeed", "abc");
        f.dialog.findChild<QPushButton*>(QStringLiteral("defaultsButton"))->click();
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.settings, start);
        const char* const expected[][2] = {
            {"rapidSpeed", "3000"}, {"absoluteDisplayRows", "1500"}, {"xAxisLetter", "X"}, {"xyPlaneCode", "17"}};
        for (const auto& [field, text] : expected)
            QCOMPARE(f.edit(field)->text(), QString::fromUtf8(text));
        QCOMPARE(f.dialog.copyItemsGroup()->checkedId(), 0);
        f.dialog.reject();
        QVERIFY(!f.dialog.isVisible());
        QCOMPARE(f.settings, defaults());
    }

    // The first page keeps the layout it has alone, in dialog units; the
    // buttons stand in a row below the pages; a further page changes nothing
    // on the first.
    void theFirstPageKeepsItsLayoutAmongTabs()
    {
        Fixture f;
        QTabWidget* pages = f.dialog.pages();
        QVERIFY(pages != nullptr);
        QCOMPARE(pages->count(), 2);
        QCOMPARE(pages->widget(0), f.dialog.firstPage());
        QCOMPARE(pages->tabText(0), QString::fromUtf8("基本"));
        QCOMPARE(pages->tabText(1), QString::fromUtf8("他の制御装置"));
        const DialogUnits units(f.dialog.font());
        QCOMPARE(f.edit("rapidSpeed")->geometry(), units.toPixels(80, 5, 40, 15));
        QCOMPARE(f.edit("valueSetCode")->geometry(), units.toPixels(80, 205, 40, 15));
        const QSize pageSize = f.dialog.firstPage()->size();
        QVERIFY(pageSize.width() >= units.toPixelsX(363) && pageSize.height() >= units.toPixelsY(241));
        for (QPushButton* button : f.dialog.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(button->y() >= pages->geometry().bottom(), qPrintable(button->objectName()));
            QVERIFY2(f.dialog.rect().contains(button->geometry()), qPrintable(button->objectName()));
        }

        QList<QRect> before;
        const QList<QWidget*> controls = f.dialog.firstPage()->findChildren<QWidget*>();
        for (const QWidget* control : controls)
            before.append(control->geometry());
        auto* page = new QWidget;
        new QLabel(QStringLiteral("more"), page);
        f.dialog.addPage(page, QStringLiteral("more"));
        QCOMPARE(pages->count(), 3);
        for (qsizetype i = 0; i < controls.size(); ++i)
            QCOMPARE(controls[i]->geometry(), before[i]);
    }

    // The dialect settings are check boxes on the second page: shown, stored
    // on closing, put back by 既定値. A bad entry on the first page brings
    // that page to the front.
    void dialectSettingsAreCheckBoxes()
    {
        drennix::Settings start = defaults();
        start.process.lowerCaseLetters = 1;
        start.process.arcTurnsByP = 1;
        Fixture f(start);
        const char* const fields[] = {"calculatorDecimals", "lowerCaseLetters", "semicolonComments", "endAtProgramEnd",
                                      "arcTurnsByP"};
        for (const char* field : fields) {
            QVERIFY2(f.dialog.checkBox(field) != nullptr, field);
            QCOMPARE(f.dialog.checkBox(field)->isChecked(),
                     start.process.*drennix::findSettingField(field)->integer == 1);
        }
        f.dialog.pages()->setCurrentIndex(1);
        f.dialog.checkBox("semicolonComments")->click();
        f.dialog.checkBox("lowerCaseLetters")->click();
        f.type("decimalPlaces", "x");
        f.dialog.reject();
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.dialog.pages()->currentIndex(), 0);
        QCOMPARE(f.dialog.focusWidget(), f.edit("decimalPlaces"));
        f.type("decimalPlaces", "3");
        f.dialog.reject();
        QVERIFY(!f.dialog.isVisible());
        drennix::Settings expected = start;
        expected.process.semicolonComments = 1;
        expected.process.lowerCaseLetters = 0;
        QCOMPARE(f.settings, expected);

        Fixture again(expected);
        again.dialog.findChild<QPushButton*>(QStringLiteral("defaultsButton"))->click();
        for (const char* field : fields)
            QVERIFY2(!again.dialog.checkBox(field)->isChecked(), field);

        // A dialect sets all five at once.
        again.dialog.findChild<QPushButton*>(QStringLiteral("dialectLinuxCnc"))->click();
        for (const char* field : fields)
            QVERIFY2(again.dialog.checkBox(field)->isChecked(), field);
        again.dialog.findChild<QPushButton*>(QStringLiteral("dialectStandard"))->click();
        for (const char* field : fields)
            QVERIFY2(!again.dialog.checkBox(field)->isChecked(), field);
    }

    // Every setting has its control in the dialog: an edit, the copy items or
    // a check box.
    void holdsEverySetting()
    {
        Fixture f;
        for (const drennix::SettingField& field : drennix::settingFields()) {
            const bool held = f.dialog.edit(field.name) != nullptr || f.dialog.checkBox(field.name) != nullptr ||
                              field.name == "copyItems";
            QVERIFY2(held, std::string(field.name).c_str());
        }
    }

    // The machine model and the estimate switch on the second page: shown,
    // stored on closing, and a value out of its range keeps the dialog open
    // on that page with the field's own message.
    void machineModelIsEditedOnTheSecondPage()
    {
        drennix::Settings start = defaults();
        start.machine.acceleration[2] = 750.5;
        Fixture f(start);
        MachineSettings* machine = f.dialog.machineSettings();
        QCOMPARE(machine->edit("accelerationZ")->text(), QStringLiteral("750.5"));
        QCOMPARE(machine->edit("lookAhead")->text(), QStringLiteral("32"));
        QVERIFY(!machine->estimateBox()->isChecked());

        machine->edit("accelerationY")->setText(QStringLiteral("0"));
        f.dialog.reject();
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.presenter.texts(),
                 QStringList{QString::fromUtf8("Y軸加速度 には 0 超過 1000000 までの数値を入力して下さい。")});
        QCOMPARE(f.dialog.pages()->currentIndex(), 1);
        QCOMPARE(f.dialog.focusWidget(), machine->edit("accelerationY"));

        machine->edit("accelerationY")->setText(QStringLiteral("abc"));
        f.dialog.reject();
        QCOMPARE(f.presenter.texts().back(), QString::fromUtf8("Y軸加速度 には数値を入力して下さい。"));

        machine->edit("accelerationY")->setText(QStringLiteral("1234"));
        machine->edit("lookAhead")->setText(QStringLiteral("8"));
        machine->estimateBox()->setChecked(true);
        f.dialog.reject();
        QVERIFY(!f.dialog.isVisible());
        drennix::Settings expected = start;
        expected.machine.acceleration[1] = 1234;
        expected.machine.lookAhead = 8;
        expected.estimate = true;
        QCOMPARE(f.settings, expected);
    }

    void letterEditsTakeOneCharacter()
    {
        Fixture f;
        QLineEdit* letter = f.edit("arcKLetter");
        letter->clear();
        QTest::keyClicks(letter, "AB");
        QCOMPARE(letter->text(), QStringLiteral("A"));
        QTest::keyClicks(f.edit("rapidSpeed"), "0");
        QCOMPARE(f.edit("rapidSpeed")->text(), QStringLiteral("30000"));
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
