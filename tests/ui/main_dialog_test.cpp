// The main window: its start-up state, the checks of its inputs, runs in each
// mode on the worker thread (compared with the same run made directly on the
// engine), Escape, the absolute display windows, browse, drop, the settings,
// the exit question, the manual, and the settings and inputs kept between
// starts.
#include <QtTest>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTextBrowser>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <utility>

#include "absolute_display_dialog.h"
#include "absolute_row_model.h"
#include "check_alongside.h"
#include "help_window.h"
#include "main_dialog.h"
#include "output_store.h"
#include "recording_host.h"
#include "recording_presenter.h"
#include "run_driver.h"
#include "settings_dialog.h"
#include "settings_store.h"
#include "toolpath_canvas.h"
#include "toolpath_window.h"

using drennix::ResultField;

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

const char* const toleranceRange = "許容値 には 0 から 1 までの数値を入力して下さい。";

// A small program with a helical arc (line 5) and two plain arcs.
const QByteArray sampleProgram =
    "(SAMPLE)\r\nG90G17G0X0Y0Z10.\r\nX20.Y0\r\nG1Z0F300\r\nG3X20.Y0Z-2.I-20.J0F200\r\nG1X30.F500\r\n"
    "G2X40.Y10.R10.\r\nG1Y30.\r\nG3X30.Y40.I-10.J0\r\nG1X0\r\nG0Z10.\r\n";

QString writeSource(const QTemporaryDir& directory, const QString& name, const QByteArray& content)
{
    const QString path = QDir(directory.path()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return QString();
    file.write(content);
    return path;
}

// `count` lines of the same move, each ending with CR LF.
QByteArray repeatedLines(const QByteArray& line, int count)
{
    return (line + "\r\n").repeated(count);
}

class Window {
public:
    Window() : dialog(presenter) { dialog.show(); }

    QLineEdit* edit(const QString& name) const { return dialog.findChild<QLineEdit*>(name); }
    QPushButton* button(const QString& name) const { return dialog.findChild<QPushButton*>(name); }
    void chooseMode(int mode) const
    {
        const char* names[] = {"machiningTimeMode", "absoluteDisplayMode", "convertHelicalMode", "convertArcsMode"};
        dialog.findChild<QRadioButton*>(QString::fromLatin1(names[mode]))->setChecked(true);
    }
    // Presses Execute and waits for the run to end.
    bool run()
    {
        QSignalSpy finished(&dialog, &MainDialog::runFinished);
        button("executeButton")->click();
        return finished.count() > 0 || finished.wait(60000);
    }
    QStringList resultTexts() const
    {
        QStringList texts;
        for (int field = 0; field < drennix::resultFieldCount; ++field) {
            texts.append(dialog.resultText(static_cast<ResultField>(field)));
        }
        return texts;
    }
    // The last run showed what the engine computes on its own, also its
    // messages and (in absolute display) the number of listed rows.
    void verifyShowsWhatTheEngineComputes() const
    {
        drennix::testing::RecordingHost expected;
        drennix::RunDriver(dialog.settings()).execute(dialog.inputs(), expected);
        QStringList fields, messages;
        for (const std::string& text : expected.fields.texts)
            fields.append(QString::fromStdString(text));
        for (const auto& message : expected.messages)
            messages.append(QString::fromStdString(message.text));
        QCOMPARE(resultTexts(), fields);
        QCOMPARE(presenter.texts(), messages);
        if (expected.startRow) {
            QCOMPARE(dialog.latestAbsoluteDisplay()->model()->rowCount(), static_cast<int>(expected.rows.size()) + 1);
        }
    }

    RecordingPresenter presenter;
    MainDialog dialog;
};

// A program of `blocks` blocks of straight moves, arcs by centre and by
// radius, helical arcs, comments, lines without moves and now and then a G92
// coordinate set, so that the recorded moves cross many groups and runs of
// lines.
QByteArray mixedProgram(int blocks)
{
    QByteArray program = "G90G17G0X0Y0Z5.\r\n";
    for (int block = 0; block < blocks; ++block) {
        // The blocks of one round of nine share their X, so that each arc
        // starts where its circle passes.
        const QByteArray x = QByteArray::number(block / 9 % 50) + ".";
        switch (block % 9) {
        case 0: program += "G1X" + x + "Y10.F300\r\n"; break;
        case 1: program += "G2X" + x + "Y20.I0J5.\r\n"; break;
        case 2: program += "(COMMENT " + QByteArray::number(block) + ")\r\n"; break;
        case 3: program += "G3X" + x + "Y10.R5.\r\n"; break;
        case 4: program += "G1Z-1.\r\n"; break;
        case 5: program += "G2X" + x + "Y10.Z1.I0J-5.\r\n"; break;
        case 6: program += "G0X" + x + "Y0Z5.\r\n"; break;
        case 7: program += block % 4 == 0 ? "G92X0Y0Z5.\r\n" : "M8\r\n"; break;
        default: program += "X" + x + "Y5.\r\n"; break;
        }
    }
    return program + "G0Z10.\r\n";
}

SettingsDialog* openSettingsDialog()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* settings = qobject_cast<SettingsDialog*>(top); settings && settings->isVisible()) return settings;
    }
    return nullptr;
}

}  // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheDefaults()
    {
        Window w;
        const char* const edits[][2] = {{"suffixEdit", "_con"},
                                        {"toleranceEdit", "0.01"},
                                        {"initialXEdit", "0"},
                                        {"initialYEdit", "0"},
                                        {"initialZEdit", "0"}};
        for (const auto& [name, text] : edits)
            QCOMPARE(w.edit(name)->text(), QString::fromLatin1(text));
        QVERIFY(w.dialog.findChild<QRadioButton*>("machiningTimeMode")->isChecked());
        QCOMPARE(w.dialog.sourcePath(), QString());
        QCOMPARE(w.resultTexts(), QStringList(drennix::resultFieldCount, QString()));
        drennix::Settings defaults;
        drennix::resetToDefaults(defaults);
        QCOMPARE(w.dialog.settings(), defaults);
        QVERIFY(w.button("executeButton")->isDefault());
        QCOMPARE(w.dialog.windowTitle(), QStringLiteral("Drennix"));
    }

    // Execute and Settings check the inputs first: a warning, the focus on the
    // edit, its text kept, and no run and no settings dialog.
    void refusesBadInputs_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("X not a number") << "executeButton"
                                        << "initialXEdit"
                                        << "1..2"
                                        << "初期X位置 には数値を入力して下さい。";
        QTest::newRow("Y empty") << "executeButton"
                                 << "initialYEdit"
                                 << ""
                                 << "初期Y位置 には数値を入力して下さい。";
        QTest::newRow("Z letters") << "executeButton"
                                   << "initialZEdit"
                                   << "Z5"
                                   << "初期Z位置 には数値を入力して下さい。";
        QTest::newRow("tolerance not a number") << "executeButton"
                                                << "toleranceEdit"
                                                << "0,01"
                                                << "許容値 には数値を入力して下さい。";
        QTest::newRow("tolerance 1.0001") << "executeButton"
                                          << "toleranceEdit"
                                          << "1.0001" << utf8(toleranceRange);
        QTest::newRow("tolerance negative") << "executeButton"
                                            << "toleranceEdit"
                                            << "-0.5" << utf8(toleranceRange);
        QTest::newRow("settings, tolerance 5") << "settingsButton"
                                               << "toleranceEdit"
                                               << "5" << utf8(toleranceRange);
    }

    void refusesBadInputs()
    {
        QFETCH(QString, button);
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(QString, message);
        Window w;
        QLineEdit* field = w.edit(edit);
        field->setText(text);
        w.button(button)->click();
        QVERIFY(!w.dialog.isRunning());
        QVERIFY(openSettingsDialog() == nullptr);
        QVERIFY(w.dialog.isVisible());
        QCOMPARE(w.presenter.texts(), QStringList{message});
        QCOMPARE(w.presenter.messages.front().kind, drennix::MessageKind::Warning);
        QCOMPARE(w.dialog.focusWidget(), field);
        QCOMPARE(field->text(), text);
    }

    // A tolerance of 0 passes the window's check and is refused by the run; one
    // of 1 passes both, and the missing source is reported. Enter runs.
    void leavesAZeroToleranceToTheRun()
    {
        Window w;
        QSignalSpy finished(&w.dialog, &MainDialog::runFinished);
        w.edit("toleranceEdit")->setText(QStringLiteral("0"));
        QTest::keyClick(w.edit("suffixEdit"), Qt::Key_Return);
        QVERIFY(finished.count() > 0 || finished.wait(60000));
        QCOMPARE(w.presenter.texts(), QStringList{utf8("許容値 は 0 超過 1 までの数字を入力して下さい。")});
        w.edit("toleranceEdit")->setText(QStringLiteral("1"));
        QVERIFY(w.run());
        QCOMPARE(w.presenter.lastText(), utf8("元ﾌｧｲﾙ が選択されていません。\n　変換はしていません。"));
    }

    // Each mode shows what the engine computes by itself and says so; the
    // converting modes write the output named by the suffix and say where; the
    // source stays as it was.
    void eachModeShowsWhatTheEngineComputes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("initialX");
        QTest::addColumn<QString>("lineCount");
        QTest::newRow("machining time") << 0 << "_con"
                                        << "0"
                                        << "12";
        QTest::newRow("absolute display") << 1 << "_con"
                                          << "-5.5"
                                          << "12";
        QTest::newRow("convert helicals") << 2 << "_con"
                                          << "0"
                                          << "111";
        QTest::newRow("convert arcs") << 3 << "_arcs"
                                      << "0"
                                      << "145";
    }

    void eachModeShowsWhatTheEngineComputes()
    {
        QFETCH(int, mode);
        QFETCH(QString, suffix);
        QFETCH(QString, initialX);
        QFETCH(QString, lineCount);
        QTemporaryDir directory;
        Window w;
        const QString source = writeSource(directory, "part.nc", sampleProgram);
        w.dialog.setSourcePath(source);
        w.chooseMode(mode);
        w.edit("suffixEdit")->setText(suffix);
        w.edit("initialXEdit")->setText(initialX);
        QVERIFY(w.run());

        const bool converts = mode >= 2;
        const QString output = QDir(directory.path()).filePath("part" + suffix + ".nc");
        QCOMPARE(w.presenter.texts(),
                 QStringList{converts ? output + utf8("\n　を作成しました。") : utf8("計算しました。")});
        QCOMPARE(w.presenter.messages.back().kind, drennix::MessageKind::Information);
        QCOMPARE(w.dialog.resultText(ResultField::LineCount), lineCount);
        QCOMPARE(w.dialog.lastCreatedOutput(), converts ? output : QString());
        QFile original(source);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(original.readAll(), sampleProgram);
        QCOMPARE(QFile::exists(output), converts);
        if (converts) QVERIFY(QFile::remove(output));  // for the direct run below
        w.verifyShowsWhatTheEngineComputes();

        AbsoluteDisplayDialog* window = w.dialog.latestAbsoluteDisplay();
        QCOMPARE(window != nullptr, mode == 1);
        if (window != nullptr) {
            QVERIFY(window->isVisible());
            QCOMPARE(window->model()->cellText(0, 0), utf8("開始位置"));
            QCOMPARE(window->model()->cellText(0, 2), QStringLiteral("-5.500"));
            QCOMPARE(window->model()->cellText(5, 1), QStringLiteral("G3X20.Y0Z-2.I-20.J0F200"));
        }
    }

    // The record the toolpath view gets after a run holds every move the
    // engine evaluated, in order, as the store keeps it; the line count
    // shown is the run's final one, in both modes that read the program.
    void recordsEveryMoveOfARun_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("time") << 0;
        QTest::newRow("absolute") << 1;
    }
    void recordsEveryMoveOfARun()
    {
        QFETCH(int, mode);
        QTemporaryDir directory;
        Window w;
        w.chooseMode(mode);
        w.dialog.setSourcePath(writeSource(directory, "mixed.nc", mixedProgram(5000)));
        QVERIFY(w.run());

        drennix::testing::RecordingHost expected;
        expected.listensToMoves = true;
        drennix::RunDriver(w.dialog.settings()).execute(w.dialog.inputs(), expected);
        QVERIFY(expected.result && expected.result->finished());
        QCOMPARE(w.dialog.resultText(ResultField::LineCount), QString::number(expected.result->lineCount));

        const auto run = w.dialog.lastToolpath();
        QVERIFY(run != nullptr);
        const drennix::toolpath::ToolpathStore& store = run->moves;
        QCOMPARE(store.moveCount(), expected.moves.size());
        QVERIFY(store.moveCount() > 3 * drennix::toolpath::ToolpathStore::movesPerGroup);
        std::size_t jumps = 0;
        for (std::size_t index = 0; index < store.moveCount(); ++index) {
            const drennix::Move& move = expected.moves[index];
            const drennix::toolpath::PathMove recorded = store.moveAt(index);
            const QByteArray where = "move " + QByteArray::number(static_cast<qulonglong>(index));
            QVERIFY2(recorded.kind == move.kind && recorded.line == move.line, where);
            QVERIFY2(recorded.start == drennix::toolpath::toVertex(move.start), where);
            QVERIFY2(recorded.end == drennix::toolpath::toVertex(move.end), where);
            QVERIFY2(recorded.isArc() == move.isArc() && recorded.helical == move.helical(), where);
            if (move.isArc()) QVERIFY2(recorded.arc->centreA == static_cast<float>(move.arc.centreA), where);
            if (drennix::toolpath::ToolpathStore::jumpsBefore(store.flagsOf(index))) ++jumps;
        }
        QVERIFY(jumps > 100);
    }

    // A rejected line ends the run with a warning and only the line count.
    // While the run waits for that message the window is still blocked:
    // typing, the exit button, the close box and F1 do nothing.
    void aRejectedLineEndsTheRunWhileInputStaysBlocked()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, "bad.nc", "G0X1.\r\nG1X2.F100\r\nG1X3.\x82\xA0\r\nG1X4.\r\n"));
        bool checked = false;
        w.presenter.whileShown = [&] {
            QVERIFY(w.dialog.isRunning());
            // The line reached stands in 行数 while its message is open.
            QCOMPARE(w.dialog.resultText(ResultField::LineCount), QStringLiteral("3"));
            QTest::keyClicks(w.edit("suffixEdit"), "zz");
            QTest::mouseClick(w.button("exitButton"), Qt::LeftButton);
            w.dialog.close();
            QTest::keyClick(&w.dialog, Qt::Key_F1);
            checked = true;
        };
        QVERIFY(w.run());
        QVERIFY(checked);
        QCOMPARE(w.presenter.messages.size(), std::size_t{1});
        QVERIFY2(w.presenter.lastText().startsWith(utf8("元ﾌｧｲﾙの3行目")), qPrintable(w.presenter.lastText()));
        QCOMPARE(w.presenter.messages.back().kind, drennix::MessageKind::Warning);
        QStringList expected(drennix::resultFieldCount, QString());
        expected[static_cast<int>(ResultField::LineCount)] = QStringLiteral("3");
        QCOMPARE(w.resultTexts(), expected);
        QCOMPARE(w.edit("suffixEdit")->text(), QStringLiteral("_con"));
        QVERIFY(w.presenter.questions.isEmpty());
        QVERIFY(w.dialog.isVisible());
        QVERIFY(w.dialog.helpWindow() == nullptr);
        // After the run the window takes input again.
        QTest::keyClicks(w.edit("suffixEdit"), "x");
        QCOMPARE(w.edit("suffixEdit")->text(), QStringLiteral("_conx"));
    }

    // One arc whose cuts are half to ten times what the check beside the run
    // holds on their way: the run ends, publishes its program and the
    // toolpath record holds the check's figures.
    void convertsOneArcOfAnySize_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("helix");
        QTest::addColumn<double>("timesCapacity");
        for (const double times : {0.5, 1.0, 2.0, 10.0}) {
            const QByteArray size = QByteArray::number(times);
            QTest::newRow("arcs, circle, " + size) << 3 << false << times;
            QTest::newRow("arcs, helix, " + size) << 3 << true << times;
            QTest::newRow("helical, helix, " + size) << 2 << true << times;
        }
    }
    void convertsOneArcOfAnySize()
    {
        QFETCH(int, mode);
        QFETCH(bool, helix);
        QFETCH(double, timesCapacity);
        const double capacity = static_cast<double>(drennix::OutputStore::defaultBlockLines) *
                                static_cast<double>(drennix::CheckAlongside::defaultChannelBuffers);
        const double cuts = timesCapacity * capacity;
        // A chord of angle a deviates r (1 - cos(a / 2)) from its arc of radius r.
        const double tolerance = 1000 * (1 - std::cos(std::numbers::pi / cuts));
        QTemporaryDir directory;
        Window w;
        w.chooseMode(mode);
        w.edit("toleranceEdit")->setText(QString::number(tolerance, 'g', 17));
        w.dialog.setSourcePath(writeSource(directory, "arc.nc",
                                           helix ? "G90G17G0X1000.Y0Z0\r\nG3X1000.Y0Z-10.I-1000.F100.\r\n"
                                                 : "G90G17G0X1000.Y0Z0\r\nG3X1000.Y0I-1000.F100.\r\n"));
        QSignalSpy finished(&w.dialog, &MainDialog::runFinished);
        w.button("executeButton")->click();
        // Far beyond the time the conversion takes, even under the sanitizers.
        QVERIFY2(finished.wait(240000), "the conversion did not end");
        QVERIFY2(w.presenter.lastText().endsWith(utf8("を作成しました。")), qPrintable(w.presenter.lastText()));
        const auto run = w.dialog.lastToolpath();
        QVERIFY(run != nullptr && run->verification);
        const drennix::VerificationResult& check = *run->verification;
        QVERIFY(check.checked());
        QCOMPARE(check.summary.arcs, 1LL);
        QVERIFY(static_cast<double>(check.summary.lines) > 0.8 * cuts);
        QVERIFY(static_cast<double>(check.summary.lines) < 1.25 * cuts + 2);
        const double rounding = std::sqrt(3.0) / 2 * 0.001;
        QVERIFY(check.summary.maxDeviation <= w.dialog.inputs().tolerance + rounding);
        QVERIFY(check.summary.maxEndError <= rounding);
    }

    void escapeStopsALongRun_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("machining time") << 0;
        QTest::newRow("absolute display") << 1;
        QTest::newRow("convert arcs") << 3;
    }

    // Escape pressed right after Execute: the run stops at the start of a line
    // long before the end of the program, writes nothing and says why, with
    // the line reached in 行数 while it says so; an absolute display opens no
    // list of the rows read before the stop.
    void escapeStopsALongRun()
    {
        QFETCH(int, mode);
        constexpr int lines = 400000;
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, "long.nc", repeatedLines("G2X0Y0I1.F100", lines)));
        w.chooseMode(mode);
        QString countWhileShown;
        w.presenter.whileShown = [&] { countWhileShown = w.dialog.resultText(ResultField::LineCount); };
        QSignalSpy finished(&w.dialog, &MainDialog::runFinished);
        w.button("executeButton")->click();
        QVERIFY(w.dialog.isRunning());
        QTest::keyClick(&w.dialog, Qt::Key_Escape);
        QVERIFY(finished.wait(60000));

        QCOMPARE(w.presenter.texts(), QStringList{utf8("ESCｷｰにより処理を中止します。\n　変換はしていません。")});
        QVERIFY(w.presenter.questions.isEmpty());
        bool isNumber = false;
        const int shown = w.dialog.resultText(ResultField::LineCount).toInt(&isNumber);
        QVERIFY(isNumber && shown < lines);
        QCOMPARE(countWhileShown, QString::number(shown));
        QCOMPARE(w.dialog.resultText(ResultField::MachiningTime), QString());
        QCOMPARE(w.dialog.resultText(ResultField::CuttingDistance), QString());
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{"long.nc"});
        QVERIFY(w.dialog.latestAbsoluteDisplay() == nullptr);
        QTRY_VERIFY(w.dialog.findChildren<AbsoluteDisplayDialog*>().isEmpty());
    }

    // A run that is rejected or stopped leaves no path to show: the ﾂｰﾙﾊﾟｽ
    // button waits for a finished run, the open toolpath window is emptied
    // and the record of the run before is released.
    void aRunThatDoesNotFinishLeavesNoToolpath()
    {
        QTemporaryDir directory;
        Window w;
        const QString good = writeSource(directory, "good.nc", sampleProgram);
        const QString bad = writeSource(directory, "bad.nc", "G0X1.\r\nG1X2.F100\r\nG1X3.\x82\xA0\r\n");
        const QString longer = writeSource(directory, "long.nc", repeatedLines("G2X0Y0I1.F100", 400000));
        // A stopped run: Escape as the run starts.
        const auto stop = [&] { QTest::keyClick(&w.dialog, Qt::Key_Escape); };
        const std::pair<QString, std::function<void()>> endings[] = {{bad, [] {}}, {longer, stop}};
        for (const auto& [source, during] : endings) {
            w.dialog.setSourcePath(good);
            QVERIFY(w.run());
            QVERIFY(w.button("toolpathButton")->isEnabled());
            w.button("toolpathButton")->click();
            QVERIFY(w.dialog.toolpathWindow() != nullptr);
            std::weak_ptr<const drennix::toolpath::ToolpathRun> before = w.dialog.lastToolpath();
            QVERIFY(!before.expired());

            w.dialog.setSourcePath(source);
            QSignalSpy finished(&w.dialog, &MainDialog::runFinished);
            w.button("executeButton")->click();
            during();
            QVERIFY(finished.wait(60000));
            QCOMPARE(w.presenter.messages.back().kind, drennix::MessageKind::Warning);
            QVERIFY(!w.button("toolpathButton")->isEnabled());
            QVERIFY(w.dialog.lastToolpath() == nullptr);
            QVERIFY(w.dialog.toolpathWindow()->canvas()->run() == nullptr);
            // The picture's thread lets go of it at its next group of moves.
            QTRY_VERIFY2(before.expired(), qPrintable(source));
            w.dialog.showLastToolpath();
            QVERIFY(w.dialog.toolpathWindow()->canvas()->run() == nullptr);
        }
    }

    // A mode's mnemonic followed at once by Enter runs the mode chosen, also
    // within the time the button shows itself pressed.
    void aModeKeyThenEnterRunsThatMode()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, "part.nc", sampleProgram));
        w.chooseMode(0);
        const std::pair<Qt::Key, drennix::RunMode> keys[] = {{Qt::Key_B, drennix::RunMode::AbsoluteDisplay},
                                                             {Qt::Key_W, drennix::RunMode::MachiningTime},
                                                             {Qt::Key_B, drennix::RunMode::AbsoluteDisplay}};
        for (const auto& [key, mode] : keys) {
            // Mnemonics work in the active window (a list window took it).
            w.dialog.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &w.dialog);
            QSignalSpy finished(&w.dialog, &MainDialog::runFinished);
            QTest::keyClick(w.edit("suffixEdit"), key, Qt::AltModifier);
            QTest::keyClick(w.edit("suffixEdit"), Qt::Key_Return);
            QVERIFY(finished.count() > 0 || finished.wait(60000));
            QCOMPARE(w.dialog.inputs().runMode, mode);
            // Wait out the pressed look of a button before the next key.
            QTest::qWait(150);
        }
    }

    // The close box during a long conversion stops it and ends the window at
    // once, writing nothing; the bound is far above what the stop takes.
    void closingDuringAConversionEndsPromptly()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, "long.nc", repeatedLines("G2X0Y0I1.F100", 2000000)));
        w.chooseMode(3);
        QSignalSpy closed(&w.dialog, &QDialog::finished);
        w.button("executeButton")->click();
        QVERIFY(w.dialog.isRunning());
        // Well into the conversion.
        QTest::qWait(300);
        QVERIFY(w.dialog.isRunning());
        QElapsedTimer timer;
        timer.start();
        w.dialog.close();
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!w.dialog.isRunning());
        QVERIFY(!w.dialog.isVisible());
        QCOMPARE(closed.count(), 1);
        QVERIFY(w.presenter.questions.isEmpty());
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files), QStringList{"long.nc"});
    }

    // With 99 listed lines, a program of 150 lines lists the start row and
    // lines 1 to 99 and still counts all 150. Each run leaves a window of its
    // own with its own rows; leaving the program closes the latest at once.
    void absoluteRunsListUpToTheLimitEachInItsOwnWindow()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.settings().process.absoluteDisplayRows = 99;
        w.chooseMode(1);
        w.dialog.setSourcePath(writeSource(directory, "limit.nc", repeatedLines("G1X1.F100", 149) + "G0X0"));
        QVERIFY(w.run());
        QCOMPARE(w.dialog.resultText(ResultField::LineCount), QStringLiteral("150"));
        QPointer<AbsoluteDisplayDialog> first = w.dialog.latestAbsoluteDisplay();
        QVERIFY(first != nullptr);
        QCOMPARE(first->model()->cellText(99, 0), QStringLiteral("99"));
        // A final line end adds an empty line: 9 lines list 10 and the start.
        w.dialog.setSourcePath(writeSource(directory, "second.nc", repeatedLines("G1X2.F100", 9)));
        QVERIFY(w.run());
        QPointer<AbsoluteDisplayDialog> second = w.dialog.latestAbsoluteDisplay();
        QVERIFY(second != nullptr && first != second);
        QCOMPARE(w.dialog.findChildren<AbsoluteDisplayDialog*>().size(), 2);
        QVERIFY(first->isVisible() && second->isVisible());
        QCOMPARE(first->model()->rowCount(), 100);
        QCOMPARE(second->model()->rowCount(), 11);
        w.button("exitButton")->click();
        QVERIFY(first.isNull() && second.isNull());
    }

    // Browse sets the chosen file, or forgets the source when cancelled; a file
    // dropped on the window becomes the source. Browse opens in the folder of
    // the last file chosen or dropped.
    void browseOrDropSetsTheSource()
    {
        Window w;
        std::optional<QString> answer = QStringLiteral("/tmp/nc/part.nc");
        QStringList folders;
        w.dialog.setSourceFileChooser([&](QWidget* owner, const QString& folder) {
            if (owner == &w.dialog) folders.append(folder);
            return answer;
        });
        w.button("browseButton")->click();
        QCOMPARE(w.dialog.sourcePath(), QStringLiteral("/tmp/nc/part.nc"));
        answer.reset();
        w.button("browseButton")->click();
        QCOMPARE(w.dialog.sourcePath(), QString());
        QCOMPARE(folders, QStringList({QString(), QStringLiteral("/tmp/nc")}));

        QTemporaryDir directory;
        const QString path = writeSource(directory, "dropped.nc", sampleProgram);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w.dialog, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w.dialog, &drop);
        QCOMPARE(w.dialog.sourcePath(), path);
        w.button("browseButton")->click();
        QCOMPARE(folders.last(), QFileInfo(path).absolutePath());
    }

    // The main window hides while the settings are open and comes back when they
    // close (only with valid settings); the inputs stay as typed.
    void settingsHideTheWindowUntilClosed()
    {
        Window w;
        w.edit("initialXEdit")->setText(QStringLiteral("12.5"));
        bool mainWasHidden = false;
        int attempts = 0;
        QMetaObject::invokeMethod(
            &w.dialog,
            [&] {
                SettingsDialog* settings = openSettingsDialog();
                QVERIFY(settings != nullptr);
                mainWasHidden = !w.dialog.isVisible();
                settings->edit("initialPlane")->setText(QStringLiteral("5"));
                settings->edit("zAxisLetter")->setText(QString());
                settings->reject();  // refused: Z is empty
                ++attempts;
                settings->edit("zAxisLetter")->setText(QStringLiteral("Z"));
                settings->reject();
                ++attempts;
            },
            Qt::QueuedConnection);
        w.button("settingsButton")->click();
        QCOMPARE(attempts, 2);
        QVERIFY(mainWasHidden);
        QVERIFY(w.dialog.isVisible());
        QVERIFY(!w.dialog.isMinimized());
        QCOMPARE(w.presenter.texts(), QStringList{utf8("Z軸指令 を入力して下さい。")});
        QCOMPARE(w.dialog.settings().process.initialPlane, 5);
        QCOMPARE(w.edit("initialXEdit")->text(), QStringLiteral("12.5"));
        QCOMPARE(w.dialog.inputs().initialX, 12.5);
    }

    // The exit button, Escape and the close box ask; only a yes ends the window.
    void exitAsksFirst()
    {
        Window w;
        w.edit("suffixEdit")->setText(QStringLiteral("_new"));
        QSignalSpy finished(&w.dialog, &QDialog::finished);
        w.presenter.answer = false;
        w.button("exitButton")->click();
        QTest::keyClick(&w.dialog, Qt::Key_Escape);
        w.dialog.close();
        QCOMPARE(w.presenter.questions, QStringList(3, utf8("Drennix を終了します。")));
        QVERIFY(w.dialog.isVisible());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(w.edit("suffixEdit")->text(), QStringLiteral("_new"));

        w.presenter.answer = true;
        w.dialog.close();
        QVERIFY(!w.dialog.isVisible());
        QCOMPARE(finished.count(), 1);
    }

    // The manual belongs to the main window, names the version, closes with
    // Escape and with the main window.
    void helpClosesWithEscapeAndWithTheWindow()
    {
        QPointer<HelpWindow> help;
        {
            Window w;
            w.button("helpButton")->click();
            help = w.dialog.helpWindow();
            QVERIFY(help != nullptr && help->isVisible());
            QVERIFY(!help->browser()->toPlainText().isEmpty());
            QCOMPARE(help->parentWidget(), &w.dialog);
            QVERIFY(help->isWindow());
            QCOMPARE(help->windowTitle(), utf8("Drennix " DRENNIX_TEST_VERSION " ﾍﾙﾌﾟ"));
            QTest::keyClick(help->browser(), Qt::Key_Escape);
            QVERIFY(!help->isVisible());
            QVERIFY(w.dialog.isVisible());
            w.button("helpButton")->click();
            QVERIFY(help->isVisible());
            w.dialog.close();
            QVERIFY(!help->isVisible());
        }
        QVERIFY(help.isNull());
    }

    // What a run starts with and what the window holds when the program ends
    // is kept: a new start shows it again, with the settings.
    void settingsAndInputsOutliveARestart()
    {
        QTemporaryDir directory;
        SettingsStore store(directory.filePath(QStringLiteral("config/settings.json")));
        const QString source = writeSource(directory, "part.nc", sampleProgram);
        {
            Window w;
            w.dialog.keepStateIn(store);
            QVERIFY(w.presenter.messages.empty());
            QVERIFY(!QFile::exists(store.path()));
            w.dialog.settings().process.absoluteDisplayRows = 120;
            w.dialog.settings().vocabulary.xAxisLetter = std::string(1, 'U');
            w.dialog.setSourceFileChooser([&](QWidget*, const QString&) { return source; });
            w.button("browseButton")->click();
            w.chooseMode(2);
            w.edit("suffixEdit")->setText(QStringLiteral("_新"));
            w.edit("toleranceEdit")->setText(QStringLiteral("0.002"));
            QVERIFY(w.run());
            // Kept when the run started.
            drennix::settings_file::KeptState kept;
            QCOMPARE(store.load(kept), SettingsStore::LoadStatus::Loaded);
            QCOMPARE(kept.main.runMode, drennix::RunMode::ConvertHelical);
            QCOMPARE(kept.settings.vocabulary.xAxisLetter, std::string("U"));
            // Changed after the run, kept at the end; a bad entry keeps the
            // value of the last run.
            w.chooseMode(1);
            w.edit("initialYEdit")->setText(QStringLiteral("-7.25"));
            w.edit("toleranceEdit")->setText(QStringLiteral("wide"));
            w.dialog.close();
        }
        Window again;
        again.dialog.keepStateIn(store);
        QVERIFY(again.presenter.messages.empty());
        QCOMPARE(again.dialog.settings().process.absoluteDisplayRows, 120);
        QCOMPARE(again.dialog.settings().vocabulary.xAxisLetter, std::string("U"));
        QCOMPARE(again.edit("suffixEdit")->text(), utf8("_新"));
        QCOMPARE(again.edit("toleranceEdit")->text(), QStringLiteral("0.002"));
        QCOMPARE(again.edit("initialYEdit")->text(), QStringLiteral("-7.25"));
        QVERIFY(again.dialog.findChild<QRadioButton*>("absoluteDisplayMode")->isChecked());
        QCOMPARE(again.dialog.lastFolder(), QFileInfo(source).absolutePath());
        QCOMPARE(again.dialog.sourcePath(), QString());
        // The restored inputs are what the next run gets.
        again.dialog.setSourcePath(source);
        QVERIFY(again.run());
        QCOMPARE(again.dialog.inputs().tolerance, 0.002);
        QCOMPARE(again.dialog.inputs().initialY, -7.25);
        QCOMPARE(again.dialog.inputs().suffix, std::string("_新"));
    }

    // A file that cannot be used says so once and starts with the defaults;
    // the next save replaces it.
    void anUnusableSettingsFileGivesTheDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not JSON") << QByteArray("{\"rapidSpeed\": 4000,");
        QTest::newRow("out of range") << QByteArray("{\"decimalPlaces\": 12}");
        QTest::newRow("against the rules") << QByteArray("{\"xAxisLetter\": \"Y\"}");
        QTest::newRow("bad input") << QByteArray("{\"main\": {\"tolerance\": 3}}");
        QTest::newRow("a folder") << QByteArray();
    }

    void anUnusableSettingsFileGivesTheDefaults()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir directory;
        SettingsStore store(directory.filePath(QStringLiteral("settings.json")));
        if (content.isEmpty()) {
            QVERIFY(QDir(directory.path()).mkdir(QStringLiteral("settings.json")));
        } else {
            QFile file(store.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        Window w;
        w.edit("suffixEdit")->setText(QStringLiteral("_typed"));
        w.dialog.keepStateIn(store);
        QCOMPARE(w.presenter.texts(), QStringList{utf8("設定ﾌｧｲﾙを読めませんでした。\n　既定値を使います。")});
        QCOMPARE(w.presenter.messages.front().kind, drennix::MessageKind::Warning);
        drennix::Settings defaults;
        drennix::resetToDefaults(defaults);
        QCOMPARE(w.dialog.settings(), defaults);
        QCOMPARE(w.edit("suffixEdit")->text(), QStringLiteral("_con"));
        if (content.isEmpty()) return;
        w.dialog.close();
        drennix::settings_file::KeptState kept;
        QCOMPARE(store.load(kept), SettingsStore::LoadStatus::Loaded);
        QCOMPARE(kept.settings, defaults);
    }

    // The real programs of the corpus (when present), in absolute display.
    void realProgramsShowWhatTheEngineComputes()
    {
        const QString corpus = QStringLiteral(DRENNIX_CORPUS_DIR);
        if (!QDir(corpus).exists()) QSKIP("no corpus of real programs here");
        QStringList programs;
        QDirIterator files(corpus, QDir::Files);
        while (files.hasNext())
            programs.append(files.next());
        programs.sort();
        if (programs.isEmpty()) QSKIP("the corpus is empty");
        Window w;
        w.chooseMode(1);
        for (const QString& program : programs) {
            w.presenter.messages.clear();
            w.dialog.setSourcePath(program);
            QVERIFY(w.run());
            w.verifyShowsWhatTheEngineComputes();
            if (QTest::currentTestFailed()) QFAIL(qPrintable(program));
        }
    }
};

QTEST_MAIN(MainDialogTest)
#include "main_dialog_test.moc"
