// The toolpath window at real sizes: pictures are drawn off the interface
// thread (a quick one first, a newer request giving up the older, nothing
// kept of a run once it is let go, a destroyed renderer ending at once),
// clicks are looked up off it too, and a window on a program of millions of
// moves answers every input while the user zooms, drags and switches views.
#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

#include "interface_session.h"
#include "toolpath_canvas.h"
#include "toolpath_picker.h"
#include "toolpath_renderer.h"
#include "toolpath_run.h"
#include "toolpath_window.h"

namespace {

using drennix::toolpath::Projection;
using drennix::toolpath::ToolpathRun;
using drennix::toolpath::ViewDirection;

// A pocket of `rows` rows 0.01 apart of `steps` moves 0.01 long, each row
// a zigzag `wave` high.
std::shared_ptr<ToolpathRun> pocketRun(int rows, int steps, double wave = 0)
{
    auto run = std::make_shared<ToolpathRun>();
    drennix::Point3 at{};
    for (int row = 0; row < rows; ++row) {
        for (int step = 0; step <= steps; ++step) {
            drennix::Move move;
            move.kind = step == steps ? drennix::MoveKind::Rapid : drennix::MoveKind::Linear;
            move.line = static_cast<long long>(row) * (steps + 1) + step + 1;
            move.start = at;
            if (step == steps) {
                at[1] += 0.01;
            } else {
                at[0] += row % 2 == 0 ? 0.01 : -0.01;
                at[1] += step % 2 == 0 ? wave : -wave;
            }
            move.end = at;
            run->moves.record(move);
        }
    }
    run->moves.levelOfDetail();
    return run;
}

Projection fitted(const ToolpathRun& run, int width, int height)
{
    Projection projection(ViewDirection::XY, width, height);
    projection.fit(run.moves.bounds(), 24);
    return projection;
}

}  // namespace

class ToolpathRendererTest : public QObject {
    Q_OBJECT

private slots:
    void aQuickPictureComesFirstThenTheFullOne()
    {
        const auto run = pocketRun(100, 1000);
        ToolpathRenderer renderer;
        QSignalSpy pictures(&renderer, &ToolpathRenderer::pictureReady);
        ToolpathPaintOptions options;
        options.coarse = true;
        renderer.request({run, fitted(*run, 400, 300), options});
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 2, 60000);
        QVERIFY(pictures.at(0).at(2).toBool());
        QVERIFY(!pictures.at(1).at(2).toBool());
        const QImage full = pictures.at(1).at(0).value<QImage>();
        QCOMPARE(full.size(), QSize(400, 300));
        // The pocket is drawn: its middle is not the background.
        QVERIFY(full.pixel(200, 150) != qRgb(255, 255, 255));
    }

    // Of requests made one after the other, only the last one's picture
    // comes, and the run is let go once it is drawn or given up.
    void aNewerRequestGivesUpTheOlder()
    {
        auto run = pocketRun(400, 2000);
        std::weak_ptr<const ToolpathRun> kept = run;
        ToolpathRenderer renderer;
        QSignalSpy pictures(&renderer, &ToolpathRenderer::pictureReady);
        Projection projection = fitted(*run, 640, 480);
        for (int i = 0; i < 5; ++i) {
            projection.zoomAbout(1.1, 320, 240);
            renderer.request({run, projection, {}});
        }
        const double lastScale = projection.scale();
        run.reset();
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 1, 60000);
        QTest::qWait(50);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.at(0).at(1).value<Projection>().scale(), lastScale);
        QTRY_VERIFY(kept.expired());

        // Given up before it is drawn: no picture, and the run let go.
        run = pocketRun(400, 2000);
        kept = run;
        renderer.request({run, fitted(*run, 640, 480), {}});
        run.reset();
        renderer.cancel();
        QTRY_VERIFY(kept.expired());
        QTest::qWait(50);
        QCOMPARE(pictures.size(), 1);
    }

    void aRendererDestroyedWhileDrawingEndsAtOnce()
    {
        const auto run = pocketRun(1000, 2000);
        QElapsedTimer clock;
        {
            ToolpathRenderer renderer;
            renderer.request({run, fitted(*run, 1600, 1200), {}});
            QTest::qWait(20);
            clock.start();
        }
        // A group of moves at most, however big the program.
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }

    void aClickFindsItsMoveOffTheInterfaceThread()
    {
        const auto run = pocketRun(10, 100);
        ToolpathPicker picker;
        QSignalSpy picked(&picker, &ToolpathPicker::picked);
        const Projection projection = fitted(*run, 640, 480);
        // The middle of the third row's 51st move.
        const drennix::toolpath::ScreenPoint at = projection.toScreen(drennix::toolpath::Vertex{0.505f, 0.02f, 0});
        picker.pick({run, projection, at, 3, {}});
        QVERIFY(picked.wait(10000));
        const qulonglong index = picked.at(0).at(0).toULongLong();
        QCOMPARE(run->moves.lineOf(index), 2LL * 101 + 51);
    }

    // A program of two million moves in the window: zooming, dragging,
    // switching views and fitting never keep the interface busy for long,
    // and the full picture of the view comes in the end.
    void theWindowAnswersEveryInputWhileItDraws()
    {
        // Each move a few pixels long at the overview.
        const auto run = pocketRun(1000, 2000, 0.3);
        QWidget owner;
        auto* window = new ToolpathWindow(&owner);
        window->resize(1024, 768);
        window->show();
        EventLoopWatch watch(100);
        window->showRun(run, QString(), nullptr);
        ToolpathCanvas* canvas = window->canvas();
        // The user sees the first picture, then zooms.
        QTRY_VERIFY_WITH_TIMEOUT(!canvas->fitPending(), 60000);
        const QPointF at(canvas->width() * 0.4, canvas->height() * 0.6);
        // Out from the whole pocket and back, so that every picture asked
        // for holds all of it.
        std::vector<std::function<void()>> steps;
        for (int i = 0; i < 5; ++i)
            steps.emplace_back([=] { sendWheel(canvas, -1, at); });
        for (int i = 0; i < 5; ++i)
            steps.emplace_back([=] { sendWheel(canvas, 1, at); });
        steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseButtonPress, at); });
        for (int i = 1; i <= 10; ++i)
            steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseMove, at + QPointF(10 * i, -6 * i)); });
        steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseButtonRelease, at + QPointF(100, -60)); });
        for (const char* name : {"viewIsometric", "viewXY", "fitAllButton"})
            steps.emplace_back([=] { window->findChild<QPushButton*>(QLatin1String(name))->click(); });
        // Each step after the view rested: a new picture is asked for each time.
        for (const auto& step : steps) {
            step();
            QTest::qWait(60);
        }
        QTRY_VERIFY_WITH_TIMEOUT(canvas->pictureCurrent(), 120000);
        // Drawing this program on the interface thread takes over 100 ms at
        // every step (some twenty waits that long); a frame of the picture
        // shown moved takes a few milliseconds. Two long waits are allowed
        // for a busy machine taking the thread away.
        QVERIFY2(watch.longWaits() <= 2, qPrintable(QStringLiteral("%1 waits over 100 ms, the longest %2 ms")
                                                        .arg(watch.longWaits())
                                                        .arg(watch.longestMs())));
    }
};

QTEST_MAIN(ToolpathRendererTest)
#include "toolpath_renderer_test.moc"
