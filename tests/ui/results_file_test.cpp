// The results file a test outside the program reads: after a run through the
// window it holds the fields exactly as drennix-cli prints the same run, is
// replaced whole by the next run, and a file that cannot be written leaves
// what was there.
#include <QtTest>

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sstream>

#include "main_dialog.h"
#include "recording_host.h"
#include "recording_presenter.h"
#include "results_file.h"
#include "run_driver.h"
#include "text_report.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// What drennix-cli prints for the window's last run, made on the engine.
QByteArray printedByTheCommandLine(const MainDialog& dialog)
{
    drennix::testing::RecordingHost host;
    drennix::RunDriver(dialog.settings()).execute(dialog.inputs(), host);
    std::ostringstream out;
    drennix::cli::writeResultFields(out, host.fields);
    return QByteArray::fromStdString(out.str());
}

}  // namespace

class ResultsFileTest : public QObject {
    Q_OBJECT

private slots:
    void eachRunReplacesTheFileWithThePrintedFields()
    {
        QTemporaryDir folder;
        const QString first = folder.filePath(QStringLiteral("first.nc"));
        const QString second = folder.filePath(QStringLiteral("second.nc"));
        QVERIFY(writeFile(first, "G0X0Y0Z10\nG1Z0F300\nG2X20Y0Z-2I10J0F200\nG1X30\n"));
        QVERIFY(writeFile(second, "G0X5Y5\nG1X50F1000\n"));
        const QString results = folder.filePath(QStringLiteral("results.txt"));

        RecordingPresenter presenter;
        MainDialog dialog(presenter);
        writeResultsAfterEachRun(dialog, results);
        dialog.show();
        QByteArray before;
        for (const QString& source : {first, second}) {
            dialog.setSourcePath(source);
            QSignalSpy finished(&dialog, &MainDialog::runFinished);
            dialog.findChild<QPushButton*>(QStringLiteral("executeButton"))->click();
            QVERIFY(finished.count() > 0 || finished.wait(60000));
            const QByteArray written = readAll(results);
            QCOMPARE(written, printedByTheCommandLine(dialog));
            QCOMPARE(written.count('\n'), drennix::resultFieldCount);
            QVERIFY(written != before);
            before = written;
        }
    }

    void aFileThatCannotBeWrittenKeepsWhatWasThere()
    {
        QTemporaryDir folder;
        RecordingPresenter presenter;
        MainDialog dialog(presenter);
        // A folder stands where the file would go.
        const QString blocked = folder.filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkdir(blocked));
        QVERIFY(!writeResultsFile(dialog, blocked));
        QVERIFY(QFileInfo(blocked).isDir());
        QVERIFY(!writeResultsFile(dialog, folder.filePath(QStringLiteral("missing/results.txt"))));
    }
};

QTEST_MAIN(ResultsFileTest)
#include "results_file_test.moc"
