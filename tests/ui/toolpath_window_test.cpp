// The toolpath window on a real run through the main window: it opens from
// the main window and from the absolute list, selected rows highlight their
// moves, a clicked move selects its row and shows its line, the keys 1 to 4
// choose the views, the box's sizes stay readable over a dense path, and after
// a conversion it shows the check of the written program.
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include "absolute_display_dialog.h"
#include "absolute_row_model.h"
#include "main_dialog.h"
#include "recording_presenter.h"
#include "toolpath_canvas.h"
#include "toolpath_painter.h"
#include "toolpath_window.h"
#include "value_field.h"

namespace {

using drennix::toolpath::MoveRange;

// Line 3 is a rapid to (20, 0), line 5 a full circle about (0, 0), line 7 an
// R arc, line 9 a coordinate set that moves nothing.
const QByteArray program =
    "(PART)\r\nG90G17G0X0Y0Z10.\r\nX20.Y0\r\nG1Z0F300\r\nG3X20.Y0I-20.J0F200\r\nG1X30.\r\nG2X40.Y10.R10.\r\n"
    "G0X50.\r\nG92X0Y0Z0\r\nG1X10.\r\n";

QString writeSource(const QTemporaryDir& directory, const QByteArray& content)
{
    const QString path = QDir(directory.path()).filePath("part.nc");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return QString();
    file.write(content);
    return path;
}

class Window {
public:
    Window() : dialog(presenter) { dialog.show(); }

    QPushButton* button(const QString& name) const { return dialog.findChild<QPushButton*>(name); }
    bool run(const char* mode)
    {
        dialog.findChild<QRadioButton*>(QString::fromLatin1(mode))->setChecked(true);
        QSignalSpy finished(&dialog, &MainDialog::runFinished);
        button("executeButton")->click();
        return finished.count() > 0 || finished.wait(60000);
    }

    RecordingPresenter presenter;
    MainDialog dialog;
};

// A click on the canvas where the program point (x, y, z) is drawn; true
// once the move under it is found (on the picker's thread).
bool clickAt(ToolpathCanvas* canvas, float x, float y, float z)
{
    // The renderer fits the view to the run first.
    if (!QTest::qWaitFor([canvas] { return !canvas->fitPending(); }, 10000)) return false;
    QSignalSpy found(canvas, &ToolpathCanvas::moveClicked);
    const QPointF at = canvas->screenPointOf({x, y, z});
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, at.toPoint());
    return found.wait(10000);
}

}  // namespace

class ToolpathWindowTest : public QObject {
    Q_OBJECT

private slots:
    void listAndViewSelectEachOther()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, program));
        QVERIFY(!w.button("toolpathButton")->isEnabled());
        QVERIFY(w.run("absoluteDisplayMode"));
        AbsoluteDisplayDialog* list = w.dialog.latestAbsoluteDisplay();
        QVERIFY(list != nullptr);
        auto* listButton = list->findChild<QPushButton*>(QStringLiteral("toolpathButton"));
        QVERIFY(listButton->isEnabled());
        listButton->click();
        ToolpathWindow* window = w.dialog.toolpathWindow();
        QVERIFY(window != nullptr && window->isVisible());
        ToolpathCanvas* canvas = window->canvas();
        const drennix::toolpath::ToolpathStore& moves = canvas->run()->moves;
        // G92 moves nothing: eight moves on lines 2 to 8 and 10.
        QCOMPARE(moves.moveCount(), std::size_t{8});

        // Rows 5 and 6 selected: the circle and the straight move after it.
        QTableView* table = list->list();
        table->selectRow(5);
        table->selectionModel()->select(list->model()->index(6, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::qWait(0);
        QCOMPARE(canvas->highlighted().size(), std::size_t{1});
        QCOMPARE(canvas->highlighted().front().first, std::size_t{3});
        QCOMPARE(canvas->highlighted().front().last, std::size_t{5});

        // The far side of the circle (-20, 0) belongs to line 5 only.
        QVERIFY(clickAt(canvas, -20, 0, 0));
        QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(table->selectionModel()->selectedRows().constFirst().row(), 5);
        QCOMPARE(window->statusText(), QString::fromUtf8("5行目：G3X20.Y0I-20.J0F200"));

        // After G92 the tool stands at (0, 0) of the new coordinates while it
        // is at (50, 10) of the old: G1X10. is drawn from (0, 0) to (10, 0).
        QVERIFY(clickAt(canvas, 5, 0, 0));
        QCOMPARE(window->statusText(), QString::fromUtf8("10行目：G1X10."));
        QCOMPARE(table->selectionModel()->selectedRows().constFirst().row(), 10);

        // Escape closes the window.
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(w.dialog.toolpathWindow() == nullptr);
    }

    void mainWindowOpensTheConvertedRunWithItsCheck()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, program));
        QVERIFY(w.run("convertArcsMode"));
        QVERIFY(w.button("toolpathButton")->isEnabled());
        w.button("toolpathButton")->click();
        ToolpathWindow* window = w.dialog.toolpathWindow();
        QVERIFY(window != nullptr);
        const drennix::toolpath::ToolpathRun* run = window->canvas()->run();
        QVERIFY(run->written.has_value());
        QVERIFY(run->verification && run->verification->checked());
        QCOMPARE(run->verification->summary.arcs, 2);
        QCOMPARE(run->written->arcCount(), std::size_t{2});
        QCOMPARE(static_cast<long long>(run->written->segmentCount()), run->verification->summary.lines);
        // The colours come from the same deviations as the check's figures.
        QVERIFY(qFuzzyCompare(run->written->largestFraction(), run->verification->summary.maxDeviation / 0.01));
        QVERIFY(window->verificationText().startsWith(QString::fromUtf8("変換円弧数：2  変換後行数：")));
        // Clicking without a list reads the line from the source file.
        QVERIFY(clickAt(window->canvas(), -20, 0, 0));
        QCOMPARE(window->statusText(), QString::fromUtf8("5行目：G3X20.Y0I-20.J0F200"));
    }

    // With the estimate switched on, the main window shows 推定時間 and the
    // toolpath can be coloured by the speed each move reaches.
    void anEstimatingRunShowsItsTimeAndColoursBySpeed()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.settings().estimate = true;
        w.dialog.setSourcePath(writeSource(directory, program));
        QVERIFY(w.run("machiningTimeMode"));
        QVERIFY(!w.dialog.findChild<ValueField*>(QStringLiteral("estimate"))->text().isEmpty());
        w.button("toolpathButton")->click();
        ToolpathWindow* window = w.dialog.toolpathWindow();
        const drennix::toolpath::ToolpathRun* run = window->canvas()->run();
        QVERIFY(run->speeds.has_value());
        QCOMPARE(run->speeds->size(), run->moves.moveCount());
        auto* box = window->findChild<QCheckBox*>(QStringLiteral("showSpeedsBox"));
        QVERIFY(box != nullptr && box->isVisibleTo(window));
        QVERIFY(!window->canvas()->paintOptions().showSpeeds);
        box->click();
        QVERIFY(window->canvas()->paintOptions().showSpeeds);

        w.dialog.settings().estimate = false;
        QVERIFY(w.run("machiningTimeMode"));
        QVERIFY(w.dialog.findChild<ValueField*>(QStringLiteral("estimate"))->text().isEmpty());
    }

    // The keys 1 to 4 choose the views as their captions show, without Alt,
    // wherever the focus stands in the window.
    void plainDigitsChooseTheViews()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, program));
        QVERIFY(w.run("machiningTimeMode"));
        w.dialog.showLastToolpath();
        ToolpathWindow* window = w.dialog.toolpathWindow();
        using drennix::toolpath::ViewDirection;
        const std::tuple<Qt::Key, ViewDirection, const char*> keys[] = {
            {Qt::Key_3, ViewDirection::YZ, "viewYZ"},
            {Qt::Key_2, ViewDirection::XZ, "viewXZ"},
            {Qt::Key_4, ViewDirection::Isometric, "viewIsometric"},
            {Qt::Key_1, ViewDirection::XY, "viewXY"},
        };
        QWidget* const targets[] = {window->canvas(), window->findChild<QPushButton*>(QStringLiteral("fitAllButton"))};
        for (QWidget* target : targets) {
            for (const auto& [key, view, button] : keys) {
                QTest::keyClick(target, key);
                QCOMPARE(window->canvas()->projection().view(), view);
                QVERIFY(window->findChild<QPushButton*>(QString::fromLatin1(button))->isChecked());
            }
        }
        QVERIFY(window->isVisible());
    }

    // The box's sizes stand on a backing of their own over a dense path: the
    // margin of the backing is background where strokes cross below it.
    void theBoxSizesStayReadableOverADensePath()
    {
        QByteArray zigzag = "G90G17G0X0Y0Z0\r\nG1F1000\r\n";
        for (int step = 0; step < 400; ++step) {
            const double y = step * 0.25;
            zigzag += (step % 2 == 0 ? "X100.Y" : "X0Y") + QByteArray::number(y, 'f', 2) + "\r\n";
        }
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, zigzag));
        QVERIFY(w.run("machiningTimeMode"));
        const auto run = w.dialog.lastToolpath();
        QVERIFY(run != nullptr);

        QImage image(400, 300, QImage::Format_RGB32);
        drennix::toolpath::Projection projection(drennix::toolpath::ViewDirection::XY, image.width(), image.height());
        projection.fit(run->moves.bounds(), 0);
        projection.zoomAbout(3, image.width() / 2.0, image.height() / 2.0);
        QPainter painter(&image);
        paintToolpath(painter, *run, projection, ToolpathPaintOptions{});
        const int textHeight = painter.fontMetrics().height();
        painter.end();
        const auto darkRows = [&](int top, int bottom) {
            int dark = 0;
            for (int y = top; y <= bottom; ++y)
                dark += QColor(image.pixel(6, y)).lightness() < 200 ? 1 : 0;
            return dark;
        };
        QVERIFY(darkRows(60, 60 + textHeight) > 0);
        QCOMPARE(darkRows(8, 8 + textHeight - 1), 0);
    }

    void wheelZoomsAboutTheCursorAndHomeFitsAll()
    {
        QTemporaryDir directory;
        Window w;
        w.dialog.setSourcePath(writeSource(directory, program));
        QVERIFY(w.run("machiningTimeMode"));
        w.dialog.showLastToolpath();
        ToolpathCanvas* canvas = w.dialog.toolpathWindow()->canvas();
        QTRY_VERIFY(!canvas->fitPending());
        const QPointF before = canvas->screenPointOf({20, 0, 0});
        const double scale = canvas->projection().scale();
        QWheelEvent wheel(before, canvas->mapToGlobal(before), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        QVERIFY(canvas->projection().scale() > scale * 1.1);
        const QPointF after = canvas->screenPointOf({20, 0, 0});
        QVERIFY(std::abs(after.x() - before.x()) < 0.01 && std::abs(after.y() - before.y()) < 0.01);
        QTest::keyClick(canvas, Qt::Key_Home);
        QTRY_VERIFY(!canvas->fitPending());
        QCOMPARE(canvas->projection().scale(), scale);
    }
};

QTEST_MAIN(ToolpathWindowTest)
#include "toolpath_window_test.moc"
