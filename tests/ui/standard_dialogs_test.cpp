// Qt's own dialogs as the program shows them: the buttons of a message box in
// Japanese whatever the system's language (and English texts, no failure,
// without the translation), and the file dialog of 参照: its folder, the
// "*.nc*" in its name field, its filters, the types it names and its columns
// wide enough for what they show.
#include <QtTest>

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeView>

#include "drennix_app.h"
#include "source_file_dialog.h"

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// The texts of a Yes/No box's buttons, Yes first.
QStringList yesNoTexts()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Drennix"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    return {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text()};
}

// Waits until the dialog's list holds `count` rows (the folder is read on a
// thread of its own).
bool waitForRows(QFileDialog& dialog, int count)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    return view != nullptr && QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == count; });
}

}  // namespace

class StandardDialogsTest : public QObject {
    Q_OBJECT

private slots:
    // First the translation is missing, then Qt's own is there.
    void messageBoxesSpeakJapanese()
    {
        QTemporaryDir empty;
        QVERIFY(!installJapaneseQtTexts(*QCoreApplication::instance(), empty.path()));
        QCOMPARE(yesNoTexts(), QStringList({"&Yes", "&No"}));

        const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QFile::exists(folder + QStringLiteral("/qtbase_ja.qm"))) QSKIP("Qt's Japanese translation is missing");
        QVERIFY(installJapaneseQtTexts(*QCoreApplication::instance()));
        QCOMPARE(yesNoTexts(), QStringList({utf8("はい(&Y)"), utf8("いいえ(&N)")}));
    }

    void fileDialogOpensInTheFolderWithThePattern()
    {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("a_rather_long_program_name_for_the_list.nc")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(123456, 'G'));
        file.close();
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("old programs")));

        QWidget owner;
        std::unique_ptr<QFileDialog> dialog(createSourceFileDialog(&owner, folder.path()));
        QCOMPARE(dialog->parentWidget(), &owner);
        QCOMPARE(dialog->directory().absolutePath(), QDir(folder.path()).absolutePath());
        QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), QStringLiteral("*.nc*"));
        QCOMPARE(dialog->viewMode(), QFileDialog::Detail);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        dialog->show();
        QVERIFY(waitForRows(*dialog, 2));

        // Every column after the name shows its title and every entry whole.
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        QHeaderView* header = view->header();
        for (int column = 1; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) continue;
            const QString title = view->model()->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(header->sectionSize(column) > header->fontMetrics().horizontalAdvance(title), qPrintable(title));
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                const QString entry = view->model()->index(row, column, view->rootIndex()).data().toString();
                QTRY_VERIFY2(view->columnWidth(column) > view->fontMetrics().horizontalAdvance(entry),
                             qPrintable(entry));
            }
        }

        // Sizes and dates in the program's locale, as the rest of the dialog.
        const QModelIndex first = view->model()->index(0, 0, view->rootIndex());
        const QString firstName = first.data().toString();
        const int fileRow = firstName == QStringLiteral("old programs") ? 1 : 0;
        const QModelIndex size = view->model()->index(fileRow, 1, view->rootIndex());
        QCOMPARE(size.data().toString(), QLocale().formattedDataSize(123456));
        const QModelIndex date = view->model()->index(fileRow, 3, view->rootIndex());
        QCOMPARE(date.data().toString(),
                 QLocale().toString(QFileInfo(file.fileName()).lastModified(), QLocale::ShortFormat));
    }

    // The dialog opens on the usual names of NC programs, with the .nc* and
    // all-files filters to choose; the type column names each entry in
    // Japanese, NC programs as such whatever the system calls them.
    void fileDialogListsNcProgramsWithTheirTypes()
    {
        QTemporaryDir folder;
        const QStringList programs = {"a.nc", "b.ngc", "c.TAP", "d.gcode", "e.cnc", "f.txt"};
        for (const QString& name : programs + QStringList{"g.dat", "readme"}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("G0X0\r\n");
        }
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("old programs")));

        std::unique_ptr<QFileDialog> dialog(createSourceFileDialog(nullptr, folder.path()));
        const QStringList filters = dialog->nameFilters();
        QCOMPARE(filters,
                 QStringList({utf8("NCﾌﾟﾛｸﾞﾗﾑ(.nc .ngc .tap .gcode .cnc .txt) (*.nc *.ngc *.tap *.gcode *.cnc *.txt)"),
                              utf8("NCﾌｧｲﾙ(.nc*) (*.nc*)"), utf8("全てのﾌｧｲﾙ(*.*) (*)")}));
        // The dialog shows the filters without their patterns.
        QCOMPARE(dialog->selectedNameFilter(), utf8("NCﾌﾟﾛｸﾞﾗﾑ(.nc .ngc .tap .gcode .cnc .txt)"));
        dialog->show();
        QVERIFY(waitForRows(*dialog, static_cast<int>(programs.size()) + 1));

        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        const auto typeOf = [view](const QString& name) {
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                if (view->model()->index(row, 0, view->rootIndex()).data().toString() == name)
                    return view->model()->index(row, 2, view->rootIndex()).data().toString();
            }
            return QString();
        };
        for (const QString& name : programs)
            QCOMPARE(typeOf(name), utf8("NCﾌﾟﾛｸﾞﾗﾑ"));
        QCOMPARE(typeOf(QStringLiteral("old programs")), utf8("ﾌｫﾙﾀﾞ"));

        dialog->selectNameFilter(filters.constLast());
        QVERIFY(waitForRows(*dialog, static_cast<int>(programs.size()) + 3));
        QCOMPARE(typeOf(QStringLiteral("g.dat")), utf8("DAT ﾌｧｲﾙ"));
        QCOMPARE(typeOf(QStringLiteral("readme")), utf8("ﾌｧｲﾙ"));
    }

    // A folder that is gone opens the working folder instead.
    void aFolderThatIsGoneOpensTheWorkingFolder()
    {
        std::unique_ptr<QFileDialog> dialog(createSourceFileDialog(nullptr, QStringLiteral("/no/such/folder")));
        QCOMPARE(dialog->directory().absolutePath(), QDir::currentPath());
        std::unique_ptr<QFileDialog> none(createSourceFileDialog(nullptr, QString()));
        QCOMPARE(none->directory().absolutePath(), QDir::currentPath());
    }
};

QTEST_MAIN(StandardDialogsTest)
#include "standard_dialogs_test.moc"
