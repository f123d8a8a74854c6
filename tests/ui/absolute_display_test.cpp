// The absolute display window: its rows, where it stands, the copy of
// selected rows, the keys, the ﾂｰﾙﾊﾟｽ button clear of the rows and the
// release of a closed window.
#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

#include "absolute_display_dialog.h"
#include "absolute_row_model.h"
#include "recording_presenter.h"
#include "toolpath_run.h"

namespace {

drennix::AbsoluteRow straightRow(int line)
{
    return {{std::to_string(line), "G1X.", std::to_string(line * 10) + ".000", "0.000", "0.000", "", "", "", "", "",
             "1.000"}};
}

const drennix::AbsoluteRow helicalRow{{"3", "G3X30.Z-1.R10.(\x89\xC1\x8D\x48)", "30.000", "0.000", "-1.000", "10.000",
                                       "90.000", "0.000", "0.000", "ﾍﾘｶﾙ", "15.740"}};

// The start row and lines 1 to 8; line 3 is a helical arc with a comment in
// code page 932 (加工).
struct Fixture {
    Fixture() : window((drennix::resetToDefaults(settings), settings), presenter, nullptr)
    {
        window.addStartRow({{"開始位置", "", "0.000", "0.000", "0.000"}});
        window.addBlockRows({straightRow(1), straightRow(2), helicalRow});
        window.addBlockRows({straightRow(4), straightRow(5), straightRow(6), straightRow(7), straightRow(8)});
        window.show();
    }

    void select(std::initializer_list<int> rows)
    {
        QItemSelectionModel* selection = window.list()->selectionModel();
        selection->clearSelection();
        for (const int row : rows) {
            selection->select(window.model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    void pressCopy(Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(window.list(), Qt::Key_C, modifiers);
    }

    drennix::Settings settings;
    RecordingPresenter presenter;
    AbsoluteDisplayDialog window;
};

QString clipboard()
{
    return QGuiApplication::clipboard()->text();
}

}  // namespace

class AbsoluteDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("untouched")); }

    void listsTheRowsInOrder()
    {
        Fixture f;
        QCOMPARE(f.window.windowTitle(), QString::fromUtf8("Drennixのｱﾌﾞｿ表示"));
        QCOMPARE(f.window.model()->rowCount(), 9);
        QCOMPARE(f.window.model()->cellText(0, 0), QString::fromUtf8("開始位置"));
        for (int row = 1; row < 9; ++row)
            QCOMPARE(f.window.model()->cellText(row, 0), QString::number(row));
        // The source line is decoded from code page 932.
        QCOMPARE(f.window.model()->cellText(3, 1), QString::fromUtf8("G3X30.Z-1.R10.(加工)"));
        QCOMPARE(f.window.model()->data(f.window.model()->index(3, 9)).toString(), QString::fromUtf8("ﾍﾘｶﾙ"));
        QCOMPARE(f.window.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(f.window.list()->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(!f.window.list()->isSortingEnabled());
    }

    void standsCentredAtHalfTheScreenHeight()
    {
        Fixture f;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const int height = (area.y() + area.height()) / 2;
        QCOMPARE(f.window.size(), QSize(870, height));
        QCOMPARE(f.window.pos(), QPoint((area.x() + area.width() - 870) / 2, height / 2));
        // The list fills the window, also after a resize.
        QCOMPARE(f.window.list()->geometry(), f.window.rect());
        f.window.resize(500, 300);
        QTRY_COMPARE(f.window.list()->geometry(), f.window.rect());
    }

    // Rows 7 and 3 chosen in that order, not adjacent: row 3 comes first, its
    // source line decoded. The form is read from the settings at each copy;
    // Ctrl+C and Ctrl+Shift+C copy too.
    void copiesSelectedRowsInRowOrder()
    {
        Fixture f;
        f.select({7, 3});
        f.window.copySelectionToClipboard();
        QCOMPARE(clipboard(), QStringLiteral("X30.000Y0.000\r\nX70.000Y0.000\r\n"));
        f.settings.process.copyItems = 2;
        f.select({3, 0});
        f.pressCopy();
        QCOMPARE(clipboard(),
                 QString::fromUtf8("行開始位置 ﾃﾞｰﾀ X0.000 Y0.000 Z0.000 R 始角 終角 R差  移動距離\r\n"
                                   "行3 ﾃﾞｰﾀG3X30.Z-1.R10.(加工) X30.000 Y0.000 Z-1.000 R10.000 始角90.000 "
                                   "終角0.000 R差0.000 ﾍﾘｶﾙ 移動距離15.740\r\n"));
        f.settings.process.copyItems = 0;
        f.select({2});
        f.pressCopy(Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(clipboard(), QStringLiteral("X20.000Y0.000\r\n"));
        QVERIFY(f.presenter.messages.empty());
    }

    void refusesToCopyWithoutSelection()
    {
        Fixture f;
        f.window.copySelectionToClipboard();
        f.pressCopy();
        QCOMPARE(f.presenter.texts(),
                 QStringList(2, QString::fromUtf8("行番号を選択して下さい。\n　ｺﾋﾟｰしていません。")));
        QCOMPARE(clipboard(), QStringLiteral("untouched"));
    }

    void enterDoesNothing()
    {
        Fixture f;
        f.select({1});
        QTest::keyClick(f.window.list(), Qt::Key_Return);
        QTest::keyClick(&f.window, Qt::Key_Enter);
        QVERIFY(f.window.isVisible());
        QVERIFY(f.presenter.messages.empty());
        QCOMPARE(clipboard(), QStringLiteral("untouched"));
    }

    // With its run's toolpath the window shows ﾂｰﾙﾊﾟｽ in a row below the list
    // (and in the context menu): scrolled to its end the list shows its last
    // row whole, and the button covers none.
    void theToolpathButtonCoversNoRow()
    {
        Fixture f;
        std::vector<drennix::AbsoluteRow> rows;
        for (int line = 9; line < 300; ++line)
            rows.push_back(straightRow(line));
        f.window.addBlockRows(std::move(rows));
        auto* button = f.window.findChild<QPushButton*>(QStringLiteral("toolpathButton"));
        QVERIFY(!button->isVisible());
        QVERIFY(!f.window.contextMenu()->actions().last()->isEnabled());
        f.window.setToolpath(std::make_shared<drennix::toolpath::ToolpathRun>(), QStringLiteral("part.nc"));
        QVERIFY(button->isVisible() && button->isEnabled());
        QVERIFY(f.window.contextMenu()->actions().last()->isEnabled());

        QTableView* list = f.window.list();
        QTRY_VERIFY(list->geometry().bottom() < button->mapTo(&f.window, QPoint(0, 0)).y());
        list->scrollToBottom();
        const QModelIndex last = f.window.model()->index(f.window.model()->rowCount() - 1, 0);
        QWidget* viewport = list->viewport();
        QTRY_VERIFY(viewport->rect().contains(list->visualRect(last)));
        const QRect viewportArea(viewport->mapTo(&f.window, QPoint(0, 0)), viewport->size());
        const QRect buttonArea(button->mapTo(&f.window, QPoint(0, 0)), button->size());
        QVERIFY(!buttonArea.intersects(viewportArea));
    }

    void releasesAClosedWindow()
    {
        RecordingPresenter presenter;
        drennix::Settings settings;
        drennix::resetToDefaults(settings);
        QPointer<AbsoluteDisplayDialog> window = new AbsoluteDisplayDialog(settings, presenter, nullptr);
        window->show();
        QTest::keyClick(window.data(), Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
    }
};

QTEST_MAIN(AbsoluteDisplayTest)
#include "absolute_display_test.moc"
