// The tools window on real runs through the main window: 工具別 only after a
// run that read tool changes, the rows of the table, the copy of selected
// rows, the toolpath with the moves of the selected tool highlighted, the
// window following the next run, and Escape.
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include "main_dialog.h"
#include "recording_presenter.h"
#include "tool_row_model.h"
#include "tool_table_dialog.h"
#include "toolpath_canvas.h"
#include "toolpath_window.h"

namespace {

using drennix::toolpath::MoveRange;

// T1 cuts on lines 5 and 6; T2 comes in on line 8 (its T on line 7) and
// works to line 12; T1 again from line 13.
const QByteArray twoTools =
    "G0X0Y0Z10.\nT1M6\nG43H1\nS1000M3\nG1Z-1.F100.\nX10.\nT2\nM6\nH2\nG0Z5.\nS2000\n"
    "G1Z-3.F200.\nT1M6\nG1X0F100.\nM30\n";

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

class Window {
public:
    Window()
    {
        dialog.settings().process.toolChanges = 1;
        dialog.show();
    }

    QPushButton* button(const QString& name) const { return dialog.findChild<QPushButton*>(name); }
    bool run(const QByteArray& program)
    {
        QFile file(QDir(directory.path()).filePath("part.nc"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(program) != program.size())
            return false;
        file.close();
        dialog.setSourcePath(file.fileName());
        dialog.findChild<QRadioButton*>(QStringLiteral("machiningTimeMode"))->setChecked(true);
        QSignalSpy finished(&dialog, &MainDialog::runFinished);
        button("executeButton")->click();
        return finished.count() > 0 || finished.wait(60000);
    }
    ToolTableDialog* openTools()
    {
        button("toolTableButton")->click();
        return dialog.toolTableWindow();
    }

    QTemporaryDir directory;
    RecordingPresenter presenter;
    MainDialog dialog{presenter};
};

void select(ToolTableDialog* window, std::initializer_list<int> rows)
{
    QItemSelectionModel* selection = window->list()->selectionModel();
    selection->clearSelection();
    for (const int row : rows)
        selection->select(window->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The source lines of the moves of `ranges`, in order.
QList<long long> linesOf(const drennix::toolpath::ToolpathStore& moves, const std::vector<MoveRange>& ranges)
{
    QList<long long> lines;
    for (const MoveRange& range : ranges) {
        for (std::size_t move = range.first; move < range.last; ++move)
            lines.append(moves.lineOf(move));
    }
    return lines;
}

}  // namespace

class ToolTableTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("untouched")); }

    void listsEachUseThenTheTotalsAndCopiesTheSelectedRows()
    {
        Window w;
        QVERIFY(!w.button("toolTableButton")->isEnabled());
        QVERIFY(w.run(twoTools));
        QVERIFY(w.button("toolTableButton")->isEnabled());
        ToolTableDialog* window = w.openTools();
        QVERIFY(window != nullptr && window->isVisible());
        const ToolRowModel* model = window->model();
        QStringList tools;
        for (int row = 0; row < model->rowCount(); ++row)
            tools.append(model->cellText(row, 0));
        QCOMPARE(tools, QStringList({utf8("開始時"), "T1", "T2", "T1", utf8("T1 計"), utf8("合計")}));

        // Rows 3 and 1 chosen in that order: row 1 comes first, tabs between
        // the cells, CR LF after each row.
        select(window, {3, 1});
        QTest::keyClick(window->list(), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QStringLiteral(
            "T1\tH1\t2-7\t21.000\t0.000\t0.2\t\t-1.000\t100\t1000\r\n"
            "T1\tH2\t13-15\t10.000\t0.000\t0.1\t\t-3.000\t100\t2000\r\n");
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
        QCOMPARE(w.presenter.texts(), QStringList(utf8("計算しました。")));

        // Nothing chosen: said so, the clipboard left alone.
        select(window, {});
        window->contextMenu()->actions().constFirst()->trigger();
        QCOMPARE(w.presenter.lastText(), utf8("工具の行を選択して下さい。\n　ｺﾋﾟｰしていません。"));
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);

        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(w.dialog.toolTableWindow() == nullptr);
    }

    // Each row's moves are those of its lines in the recorded run: a use,
    // every use of a tool for its total, every move for the whole.
    void theToolpathHighlightsTheMovesOfTheSelectedTool()
    {
        Window w;
        QVERIFY(w.run(twoTools));
        ToolTableDialog* window = w.openTools();
        auto* toolpathButton = window->findChild<QPushButton*>(QStringLiteral("toolpathButton"));
        select(window, {2});
        toolpathButton->click();
        ToolpathWindow* toolpath = w.dialog.toolpathWindow();
        QVERIFY(toolpath != nullptr && toolpath->isVisible());
        ToolpathCanvas* canvas = toolpath->canvas();
        const drennix::toolpath::ToolpathStore& moves = canvas->run()->moves;
        QCOMPARE(canvas->highlighted().size(), std::size_t{1});
        QCOMPARE(linesOf(moves, canvas->highlighted()), QList<long long>({8, 9, 10, 11, 12}));

        // The view stays as the user left it while the window shows the run.
        QVERIFY(QTest::qWaitFor([canvas] { return !canvas->fitPending(); }, 10000));
        canvas->zoomAbout(2, QPointF(10, 10));
        const double scale = canvas->projection().scale();
        select(window, {4});
        toolpathButton->click();
        QCOMPARE(canvas->projection().scale(), scale);
        QCOMPARE(canvas->highlighted().size(), std::size_t{2});
        QCOMPARE(linesOf(moves, canvas->highlighted()), QList<long long>({2, 3, 4, 5, 6, 7, 13, 14, 15}));

        select(window, {5});
        window->contextMenu()->actions().constLast()->trigger();
        QCOMPARE(canvas->highlighted().size(), std::size_t{1});
        QCOMPARE(canvas->highlighted().front().last - canvas->highlighted().front().first, moves.moveCount());
    }

    // An open window shows each new run; a run without tool changes, or one
    // that ends on a faulty line, leaves it empty and 工具別 unusable.
    void theWindowFollowsTheRuns()
    {
        Window w;
        QVERIFY(w.run(twoTools));
        ToolTableDialog* window = w.openTools();
        QCOMPARE(window->model()->rowCount(), 6);

        // T3 from the first line (no row for the tool before it), then the whole.
        QVERIFY(w.run("T3M6\nG1X5.F50.\n"));
        QCOMPARE(w.dialog.toolTableWindow(), window);
        QCOMPARE(window->model()->rowTexts(0).mid(0, 4), QStringList({"T3", "", "1-2", "5.000"}));

        auto* toolpathButton = window->findChild<QPushButton*>(QStringLiteral("toolpathButton"));
        QVERIFY(toolpathButton->isEnabled());
        QVERIFY(w.run("T1M6\nG1X1..2F10.\n"));
        QCOMPARE(window->model()->rowCount(), 0);
        QVERIFY(!w.button("toolTableButton")->isEnabled() && !toolpathButton->isEnabled());

        QVERIFY(w.run(twoTools));
        w.dialog.settings().process.toolChanges = 0;
        QVERIFY(w.run(twoTools));
        QCOMPARE(window->model()->rowCount(), 0);
        QVERIFY(!w.button("toolTableButton")->isEnabled());
    }
};

QTEST_MAIN(ToolTableTest)
#include "tool_table_test.moc"
