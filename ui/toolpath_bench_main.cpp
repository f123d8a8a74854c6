// drennix-toolpath-bench: the toolpath view on a big program (`make bench`).
//
//   drennix-toolpath-bench SOURCE
//
// Runs SOURCE (machining time) without recording moves and with the
// recorder the desktop program uses (best of two each), then measures on the window's
// canvas, offscreen: the time from the run's end to a view ready to show
// (the record handed over, fitted and drawn), the frames per second while
// zooming and panning (the canvas shows its last drawing moved and scaled
// until the view rests), the time of a full drawing once the view rests, and
// the bytes per move of the record. Prints one line per figure with its
// target.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <memory>

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>

#include "recorder_listener.h"
#include "run_driver.h"
#include "toolpath_canvas.h"
#include "toolpath_recorder.h"

namespace {

using Clock = std::chrono::steady_clock;
using drennix::toolpath::ToolpathRun;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Asks for the picture of the canvas's view and waits for it: the picture
// is drawn on the renderer's thread.
void drawAndWait(ToolpathCanvas& canvas)
{
    canvas.redrawNow();
    QEventLoop loop;
    QObject::connect(&canvas, &ToolpathCanvas::pictureShown, &loop, &QEventLoop::quit);
    if (!canvas.pictureCurrent()) loop.exec();
}

struct Session {
    double framesPerSecond = 0;
    double restDrawSeconds = 0;
};

// Frames of a user's session: zooming in about a point in steps, panning
// across, zooming out again, each frame rendered as the window would show
// it; after each stretch the view rests and the toolpath is drawn anew.
Session zoomAndPan(ToolpathCanvas& canvas, QImage& image)
{
    constexpr int steps = 10;
    const QPointF at(image.width() * 0.4, image.height() * 0.6);
    const struct {
        double zoom;
        QPointF pan;
    } stretches[] = {{1.5, {}}, {1, {40, -25}}, {1 / 1.5, {}}, {1, {-40, 25}}};
    int frames = 0;
    double frameSeconds = 0;
    double restSeconds = 0;
    for (const auto& stretch : stretches) {
        Clock::time_point start = Clock::now();
        for (int i = 0; i < steps; ++i, ++frames) {
            if (stretch.zoom != 1) canvas.zoomAbout(stretch.zoom, at);
            canvas.panBy(stretch.pan);
            canvas.render(&image);
        }
        frameSeconds += secondsSince(start);
        start = Clock::now();
        drawAndWait(canvas);
        restSeconds += secondsSince(start);
    }
    return {frames / frameSeconds, restSeconds / std::size(stretches)};
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: drennix-toolpath-bench SOURCE\n", stderr);
        return 2;
    }
    drennix::Settings settings;
    drennix::resetToDefaults(settings);
    drennix::RunOptions options;
    options.runMode = drennix::RunMode::MachiningTime;
    options.sourcePath = argv[1];

    // Best of two runs each, in turns, so that a busy machine weighs on both.
    double plainSeconds = 1e300;
    double recordingSeconds = 1e300;
    std::unique_ptr<drennix::toolpath::ToolpathRecorder> recorder;
    drennix::RunResult result;
    Clock::time_point start;
    for (int attempt = 0; attempt < 2; ++attempt) {
        drennix::RunListener plain;
        start = Clock::now();
        drennix::RunDriver(settings).execute(options, plain);
        plainSeconds = std::min(plainSeconds, secondsSince(start));

        recorder = std::make_unique<drennix::toolpath::ToolpathRecorder>(settings, options);
        drennix::toolpath::RecorderListener recording(*recorder);
        start = Clock::now();
        result = drennix::RunDriver(settings).execute(options, recording);
        recordingSeconds = std::min(recordingSeconds, secondsSince(start));
    }
    if (!result.finished()) {
        std::fputs("drennix-toolpath-bench: the run did not finish\n", stderr);
        return 1;
    }

    // From the run's end: the record handed over, fitted and drawn once.
    ToolpathCanvas canvas;
    canvas.resize(1280, 800);
    QImage image(canvas.size(), QImage::Format_RGB32);
    start = Clock::now();
    const std::shared_ptr<const ToolpathRun> run = recorder->finish(result);
    canvas.setRun(run);
    drawAndWait(canvas);
    const double readySeconds = secondsSince(start);

    // The first render of a widget sets up its style once: not a frame.
    canvas.render(&image);
    const Session xy = zoomAndPan(canvas, image);
    canvas.setView(drennix::toolpath::ViewDirection::Isometric);
    drawAndWait(canvas);
    const Session iso = zoomAndPan(canvas, image);
    const double fps = xy.framesPerSecond;
    const double isoFps = iso.framesPerSecond;
    const double moves = static_cast<double>(run->moves.moveCount());
    const double bytesPerMove = static_cast<double>(run->moves.memoryBytes()) / moves;

    std::printf("  moves recorded                %12.0f  (%zu arcs)\n", moves, run->moves.arcCount());
    std::printf("  run without / with recording  %6.3f s / %6.3f s  (x%.3f)\n", plainSeconds, recordingSeconds,
                recordingSeconds / plainSeconds);
    std::printf("  run end to view ready         %9.3f s   target < 2 s: %s\n", readySeconds,
                readySeconds < 2 ? "ok" : "over");
    std::printf("  pan and zoom, XY, 1280x800    %9.1f fps target >= 30: %s\n", fps, fps >= 30 ? "ok" : "below");
    std::printf("  pan and zoom, isometric       %9.1f fps target >= 30: %s\n", isoFps, isoFps >= 30 ? "ok" : "below");
    std::printf("  full drawing once at rest     %9.3f s (XY), %.3f s (isometric), average\n", xy.restDrawSeconds,
                iso.restDrawSeconds);
    std::printf("  store                         %9.1f bytes per move, target < 40: %s\n", bytesPerMove,
                bytesPerMove < 40 ? "ok" : "over");
    return 0;
}
