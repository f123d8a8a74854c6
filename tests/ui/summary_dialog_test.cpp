// Several programs in the desktop program: dropped or given files and
// folders open their summary window, whose rows come as the runs end, sort
// by a column, copy as tab-separated text and open a program in the main
// window; Escape stops the runs.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "main_dialog.h"
#include "recording_presenter.h"
#include "summary_dialog.h"

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class SummaryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aFolderGivesARowPerProgramAndOpensOne()
    {
        QTemporaryDir directory;
        const QDir folder(directory.path());
        QVERIFY(write(folder.filePath(utf8("部品.nc")), "G1X3.F300.\n"));
        QVERIFY(write(folder.filePath("bad.ngc"), "G0X0\nG1X1..2\n"));
        QVERIFY(write(folder.filePath("b.tap"), "G1X10.F100.\n"));
        QVERIFY(write(folder.filePath("notes.md"), "text\n"));
        RecordingPresenter presenter;
        MainDialog dialog(presenter);
        dialog.show();
        SummaryDialog* summary = dialog.openSummary({directory.path()});
        QVERIFY(summary != nullptr);
        QSignalSpy ended(summary, &SummaryDialog::runsEnded);
        QVERIFY(ended.count() > 0 || ended.wait(60000));
        QTableWidget* table = summary->table();
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->horizontalHeaderItem(1)->text(), utf8("状態"));

        // Sorted by the status: the rejected line's message last.
        table->sortByColumn(1, Qt::AscendingOrder);
        QStringList statuses;
        for (int row = 0; row < table->rowCount(); ++row)
            statuses.append(table->item(row, 1)->text());
        QCOMPARE(statuses.count(utf8("計算しました")), 2);
        QVERIFY(statuses.contains(utf8("元ﾌｧｲﾙの2行目で数値に少数点が2つ以上有ります。 変換はしていません。")));

        // Nothing selected: every row, after the titles.
        summary->copySelectionToClipboard();
        const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(copied.size(), 4);
        QVERIFY(copied.first().startsWith(utf8("ﾌｧｲﾙ\t状態\t行数\t")));

        // A double click opens the program in the main window and runs it.
        int japanese = -1;
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text().endsWith(utf8("部品.nc"))) japanese = row;
        }
        QVERIFY(japanese >= 0);
        QSignalSpy finished(&dialog, &MainDialog::runFinished);
        emit table->cellDoubleClicked(japanese, 0);
        QVERIFY(finished.count() > 0 || finished.wait(60000));
        QVERIFY(dialog.sourcePath().endsWith(utf8("部品.nc")));
        QCOMPARE(dialog.resultText(drennix::ResultField::CuttingDistance), QStringLiteral("3.000"));
        QCOMPARE(table->item(japanese, 5)->text(), QStringLiteral("3.000"));
    }

    void escapeStopsTheRuns()
    {
        QTemporaryDir directory;
        QByteArray program;
        for (int i = 0; i < 300000; ++i)
            program += "G1 X1. F100.\n";
        for (int k = 0; k < 8; ++k)
            QVERIFY(write(QDir(directory.path()).filePath(QStringLiteral("long%1.nc").arg(k)), program));
        RecordingPresenter presenter;
        MainDialog dialog(presenter);
        dialog.show();
        SummaryDialog* summary = dialog.openSummary({directory.path()});
        QVERIFY(summary != nullptr);
        QSignalSpy ended(summary, &SummaryDialog::runsEnded);
        QTest::keyClick(summary, Qt::Key_Escape);
        QVERIFY(ended.count() > 0 || ended.wait(60000));
        QVERIFY(!summary->isRunning());
        QVERIFY(summary->table()->rowCount() < 8);
    }
};

}  // namespace

QTEST_MAIN(SummaryWindowTest)
#include "summary_dialog_test.moc"
