// drennix-toolpath-bench: the toolpath view on a big program (`make bench`).
//
//   drennix-toolpath-bench SOURCE
//
// Runs SOURCE (machining time) once without recording moves and once with
// the recorder the desktop program uses, then measures: the time from the
// run's end to a view ready to show (the record handed over, fitted and its
// first frame drawn), the frames per second of panning and zooming drawn
// offscreen into an image, and the bytes per move of the record. Prints one
// line per figure with its target.
#include <chrono>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "run_driver.h"
#include "toolpath_painter.h"
#include "toolpath_recorder.h"

namespace {

using Clock = std::chrono::steady_clock;
using drennix::toolpath::Projection;
using drennix::toolpath::ToolpathRun;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Recording final : public drennix::RunListener {
public:
    explicit Recording(drennix::toolpath::ToolpathRecorder* recorder) : recorder_(recorder) {}
    void move(const drennix::Move& move) override { recorder_->record(move); }
    bool wantsMoves() const override { return recorder_ != nullptr; }

private:
    drennix::toolpath::ToolpathRecorder* recorder_;
};

void drawFrame(QImage& image, const ToolpathRun& run, const Projection& projection)
{
    QPainter painter(&image);
    paintToolpath(painter, run, projection, {});
}

// Frames of a user's session: zooming in about a point in steps, panning
// across, zooming out again; returns frames per second.
double framesPerSecond(QImage& image, const ToolpathRun& run, Projection projection)
{
    constexpr int steps = 10;
    const double x = image.width() * 0.4;
    const double y = image.height() * 0.6;
    int frames = 0;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < steps; ++i, ++frames) {
        projection.zoomAbout(1.5, x, y);
        drawFrame(image, run, projection);
    }
    for (int i = 0; i < steps; ++i, ++frames) {
        projection.panBy(40, -25);
        drawFrame(image, run, projection);
    }
    for (int i = 0; i < steps; ++i, ++frames) {
        projection.zoomAbout(1 / 1.5, x, y);
        drawFrame(image, run, projection);
    }
    for (int i = 0; i < steps; ++i, ++frames) {
        projection.panBy(-40, 25);
        drawFrame(image, run, projection);
    }
    return frames / secondsSince(start);
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

    Recording plain(nullptr);
    Clock::time_point start = Clock::now();
    drennix::RunDriver(settings).execute(options, plain);
    const double plainSeconds = secondsSince(start);

    drennix::toolpath::ToolpathRecorder recorder(settings, options);
    Recording recording(&recorder);
    start = Clock::now();
    const drennix::RunResult result = drennix::RunDriver(settings).execute(options, recording);
    const double recordingSeconds = secondsSince(start);
    if (!result.finished()) {
        std::fputs("drennix-toolpath-bench: the run did not finish\n", stderr);
        return 1;
    }

    // From the run's end: the record handed over, fitted and drawn once.
    start = Clock::now();
    const std::shared_ptr<const ToolpathRun> run = recorder.finish(result);
    QImage image(1280, 800, QImage::Format_RGB32);
    Projection projection(drennix::toolpath::ViewDirection::XY, image.width(), image.height());
    projection.fit(run->moves.bounds(), 24);
    drawFrame(image, *run, projection);
    const double readySeconds = secondsSince(start);

    const double fps = framesPerSecond(image, *run, projection);
    Projection iso(drennix::toolpath::ViewDirection::Isometric, image.width(), image.height());
    iso.fit(run->moves.bounds(), 24);
    const double isoFps = framesPerSecond(image, *run, iso);
    const double moves = static_cast<double>(run->moves.moveCount());
    const double bytesPerMove = static_cast<double>(run->moves.memoryBytes()) / moves;

    std::printf("  moves recorded                %12.0f  (%zu arcs)\n", moves, run->moves.arcCount());
    std::printf("  run without / with recording  %6.3f s / %6.3f s  (x%.3f)\n", plainSeconds, recordingSeconds,
                recordingSeconds / plainSeconds);
    std::printf("  run end to view ready         %9.3f s   target < 2 s: %s\n", readySeconds,
                readySeconds < 2 ? "ok" : "over");
    std::printf("  pan and zoom, XY, 1280x800    %9.1f fps target >= 30: %s\n", fps, fps >= 30 ? "ok" : "below");
    std::printf("  pan and zoom, isometric       %9.1f fps target >= 30: %s\n", isoFps, isoFps >= 30 ? "ok" : "below");
    std::printf("  store                         %9.1f bytes per move, target < 40: %s\n", bytesPerMove,
                bytesPerMove < 40 ? "ok" : "over");
    return 0;
}
