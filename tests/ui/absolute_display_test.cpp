// The absolute display window: its rows, where it stands, the copy of
// selected rows in each form, the keys and the release of a closed window.
#include <QtTest>

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QScreen>
#include <QTableView>

#include "absolute_display_dialog.h"
#include "absolute_row_model.h"
#include "recording_presenter.h"

namespace {

drennix::AbsoluteRow makeRow(std::initializer_list<const char*> cells) {
    drennix::AbsoluteRow row;
    std::size_t column = 0;
    for (const char* cell : cells) row.cells[column++] = cell;
    return row;
}

drennix::AbsoluteRow straightRow(int line, double x) {
    const std::string position = std::to_string(static_cast<int>(x)) + ".000";
    return makeRow({std::to_string(line).c_str(), "G1X.", position.c_str(), "0.000", "0.000", "", "", "", "", "",
                    "1.000"});
}

struct Fixture {
    Fixture() : window((drennix::resetToDefaults(settings), settings), presenter, nullptr) {
        window.addStartRow(makeRow({"開始位置", "", "0.000", "0.000", "0.000"}));
        std::vector<drennix::AbsoluteRow> rows;
        for (int line = 1; line <= 8; ++line) rows.push_back(straightRow(line, line * 10.0));
        // Line 3 is a helical arc with a comment in code page 932 (加工).
        rows[2] = makeRow({"3", "G3X30.Z-1.R10.(\x89\xC1\x8D\x48)", "30.000", "0.000", "-1.000", "10.000", "90.000",
                           "0.000", "0.000", "ﾍﾘｶﾙ", "15.740"});
        window.addBlockRows(std::move(rows));
        window.show();
    }

    void select(std::initializer_list<int> rows) {
        QItemSelectionModel* selection = window.list()->selectionModel();
        selection->clearSelection();
        for (const int row : rows) {
            selection->select(window.model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    drennix::Settings settings;
    RecordingPresenter presenter;
    AbsoluteDisplayDialog window;
};

const char* const noSelection = "行番号を選択して下さい。\n　ｺﾋﾟｰしていません。";

}  // namespace

class AbsoluteDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("untouched")); }

    void listsTheRowsInOrder();
    void decodesTheSourceLine();
    void fillsLargeListingsInBatches();
    void standsCentredAtHalfTheScreenHeight();
    void copiesSelectedRowsInRowOrder();
    void refusesToCopyWithoutSelection();
    void copiesWithControlC();
    void enterDoesNothing();
    void releasesAClosedWindow();
};

void AbsoluteDisplayTest::listsTheRowsInOrder() {
    Fixture f;
    QCOMPARE(f.window.model()->rowCount(), 9);
    QCOMPARE(f.window.model()->cellText(0, 0), QString::fromUtf8("開始位置"));
    for (int row = 1; row < 9; ++row) QCOMPARE(f.window.model()->cellText(row, 0), QString::number(row));
    QCOMPARE(f.window.windowTitle(), QString::fromUtf8("Drennixのｱﾌﾞｿ表示"));
    QCOMPARE(f.window.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(f.window.list()->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(!f.window.list()->isSortingEnabled());
}

void AbsoluteDisplayTest::decodesTheSourceLine() {
    Fixture f;
    QCOMPARE(f.window.model()->cellText(3, 1), QString::fromUtf8("G3X30.Z-1.R10.(加工)"));
    QCOMPARE(f.window.model()->data(f.window.model()->index(3, 9)).toString(), QString::fromUtf8("ﾍﾘｶﾙ"));
}

void AbsoluteDisplayTest::fillsLargeListingsInBatches() {
    RecordingPresenter presenter;
    drennix::Settings settings;
    drennix::resetToDefaults(settings);
    AbsoluteDisplayDialog window(settings, presenter, nullptr);
    window.addStartRow(makeRow({"開始位置"}));
    constexpr int lines = 99999;
    for (int first = 1; first <= lines; first += 512) {
        std::vector<drennix::AbsoluteRow> batch;
        for (int line = first; line < first + 512 && line <= lines; ++line) batch.push_back(straightRow(line, 1));
        window.addBlockRows(std::move(batch));
    }
    window.show();
    QCOMPARE(window.model()->rowCount(), lines + 1);
    QCOMPARE(window.model()->cellText(lines, 0), QString::number(lines));
}

void AbsoluteDisplayTest::standsCentredAtHalfTheScreenHeight() {
    Fixture f;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const int height = (area.y() + area.height()) / 2;
    QCOMPARE(f.window.width(), 870);
    QCOMPARE(f.window.height(), height);
    QCOMPARE(f.window.pos(), QPoint((area.x() + area.width() - 870) / 2, height / 2));
    // The list fills the window, also after a resize.
    QCOMPARE(f.window.list()->geometry(), f.window.rect());
    f.window.resize(500, 300);
    QTRY_COMPARE(f.window.list()->geometry(), f.window.rect());
}

// Rows 7 and 3 chosen in that order, not adjacent: row 3 comes first, its
// source line decoded. The form is read from the settings at each copy.
void AbsoluteDisplayTest::copiesSelectedRowsInRowOrder() {
    Fixture f;
    f.select({7, 3});
    f.window.copySelectionToClipboard();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("X30.000Y0.000\r\nX70.000Y0.000\r\n"));
    f.settings.process.copyItems = 2;
    f.window.copySelectionToClipboard();
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(QString::fromUtf8("行3 ﾃﾞｰﾀG3X30.Z-1.R10.(加工) X30.000")));
    QVERIFY(f.presenter.messages.empty());
}

void AbsoluteDisplayTest::refusesToCopyWithoutSelection() {
    Fixture f;
    f.window.copySelectionToClipboard();
    QCOMPARE(f.presenter.texts(), QStringList{QString::fromUtf8(noSelection)});
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
}

void AbsoluteDisplayTest::copiesWithControlC() {
    Fixture f;
    f.select({0});
    QTest::keyClick(f.window.list(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("X0.000Y0.000\r\n"));

    f.select({2});
    QTest::keyClick(f.window.list(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("X20.000Y0.000\r\n"));

    f.select({});
    QTest::keyClick(f.window.list(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(f.presenter.texts(), QStringList{QString::fromUtf8(noSelection)});
}

void AbsoluteDisplayTest::enterDoesNothing() {
    Fixture f;
    f.select({1});
    QTest::keyClick(f.window.list(), Qt::Key_Return);
    QTest::keyClick(&f.window, Qt::Key_Enter);
    QVERIFY(f.window.isVisible());
    QVERIFY(f.presenter.messages.empty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
}

void AbsoluteDisplayTest::releasesAClosedWindow() {
    RecordingPresenter presenter;
    drennix::Settings settings;
    drennix::resetToDefaults(settings);
    QPointer<AbsoluteDisplayDialog> window = new AbsoluteDisplayDialog(settings, presenter, nullptr);
    window->show();
    QTest::keyClick(window.data(), Qt::Key_Escape);
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(AbsoluteDisplayTest)
#include "absolute_display_test.moc"
