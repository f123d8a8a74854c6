// drennix-desktop-timer MODE FILE [--toolpath]: one run of the desktop
// program's main window on FILE, as Execute starts it (the engine on the
// worker thread, the notices and rows carried to the window, the moves
// recorded for the toolpath view and the record handed over), timed from the
// press to runFinished. The message boxes are answered at once. Prints, on
// one line: the seconds, the processor seconds of all threads over the same
// span, the line count the window shows, the moves the handed-over record
// holds, the resident memory before the run and its peak during the run
// (MiB, Linux; 0 elsewhere) and the record's own bytes (MiB).
//
// With --toolpath it then opens the toolpath window as the ﾂｰﾙﾊﾟｽ button
// does and goes through a user's session (zooming in and out with the
// wheel, dragging, a view key, Home), and adds: the seconds from the press
// to the first picture (a quick one, or the full one where none came
// before) and to the full one, and the longest the interface thread was
// busy in one go (ms), measured by a timer that fires every 2 ms throughout,
// and the resident memory once the window is closed again (MiB).
// Run on the offscreen platform by scripts/bench-desktop.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "interface_session.h"
#include "main_dialog.h"
#include "message_presenter.h"
#include "toolpath_canvas.h"
#include "toolpath_run.h"
#include "toolpath_window.h"

namespace {

class AnsweringPresenter final : public MessagePresenter {
public:
    void showMessage(QWidget*, const QString&, drennix::MessageKind) override {}
    bool confirm(QWidget*, const QString&) override { return true; }
};

const char* modeButtonName(const QString& mode)
{
    if (mode == QLatin1String("absolute")) return "absoluteDisplayMode";
    if (mode == QLatin1String("helical")) return "convertHelicalMode";
    if (mode == QLatin1String("arcs")) return "convertArcsMode";
    return "machiningTimeMode";
}

// Handles what showing the window and setting its fields posted, until
// nothing is left, a few rounds at most.
void settle()
{
    for (int round = 0; round < 5; ++round) {
        QApplication::sendPostedEvents();
        QApplication::processEvents(QEventLoop::AllEvents);
    }
}

// A figure of /proc/self/status in MiB ("VmRSS", "VmHWM"); 0 where there is none.
double statusMiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// From here on VmHWM is the peak since now (Linux).
void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) refs.write("5");
}

// Runs the event loop until `done` holds or `seconds` pass (the watch's
// timer wakes it every 2 ms).
bool waitFor(const std::function<bool()>& done, double seconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.nsecsElapsed() / 1e9 > seconds) return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The steps of a user's session, one every 60 ms, as input events.
std::vector<std::function<void()>> sessionSteps(ToolpathWindow* window)
{
    QWidget* canvas = window->canvas();
    const QPointF at(canvas->width() * 0.4, canvas->height() * 0.6);
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < 15; ++i)
        steps.emplace_back([=] { sendWheel(canvas, 1, at); });
    steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseButtonPress, at); });
    for (int i = 1; i <= 20; ++i)
        steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseMove, at + QPointF(8 * i, -5 * i)); });
    steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseButtonRelease, at + QPointF(160, -100)); });
    for (int i = 0; i < 15; ++i)
        steps.emplace_back([=] { sendWheel(canvas, -1, at); });
    steps.emplace_back([=] { window->findChild<QPushButton*>(QStringLiteral("viewIsometric"))->click(); });
    steps.emplace_back([=] { window->findChild<QPushButton*>(QStringLiteral("viewXY"))->click(); });
    for (int i = 0; i < 6; ++i)
        steps.emplace_back([=] { sendWheel(canvas, 2, at); });
    steps.emplace_back([=] { window->findChild<QPushButton*>(QStringLiteral("fitAllButton"))->click(); });
    // A click on the toolpath picks the move under it.
    for (const QPointF click : {at, QPointF(canvas->width() / 2.0, canvas->height() / 2.0)}) {
        steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseButtonPress, click); });
        steps.emplace_back([=] { sendMouse(canvas, QEvent::MouseButtonRelease, click); });
    }
    return steps;
}

struct ToolpathFigures {
    double firstPictureSeconds = -1;
    double fullPictureSeconds = -1;
    double longestWaitMs = -1;
    // Resident once the window is closed again.
    double closedMiB = 0;
};

ToolpathFigures toolpathSession(MainDialog& dialog)
{
    ToolpathFigures figures;
    EventLoopWatch watch;
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.showLastToolpath(); });
    if (!waitFor([&] { return dialog.toolpathWindow() != nullptr; }, 10)) return figures;
    ToolpathWindow* window = dialog.toolpathWindow();
    QObject::connect(window->canvas(), &ToolpathCanvas::coarsePictureShown, [&] {
        if (figures.firstPictureSeconds < 0) figures.firstPictureSeconds = clock.nsecsElapsed() / 1e9;
    });
    if (!waitFor([&] { return window->canvas()->pictureCurrent(); }, 120)) return figures;
    figures.fullPictureSeconds = clock.nsecsElapsed() / 1e9;
    if (figures.firstPictureSeconds < 0) figures.firstPictureSeconds = figures.fullPictureSeconds;
    std::size_t next = 0;
    const std::vector<std::function<void()>> steps = sessionSteps(window);
    QTimer stepper;
    QObject::connect(&stepper, &QTimer::timeout, [&] {
        if (next < steps.size()) steps[next++]();
    });
    // Each step once the view has rested (40 ms): every one asks for a picture.
    stepper.start(60);
    waitFor([&] { return next >= steps.size(); }, 60);
    stepper.stop();
    if (!waitFor([&] { return window->canvas()->pictureCurrent(); }, 120)) return figures;
    figures.longestWaitMs = watch.longestMs();
    window->close();
    waitFor([&] { return dialog.toolpathWindow() == nullptr; }, 10);
    // The picture's thread lets go of the run at its next group of moves.
    QElapsedTimer settleClock;
    settleClock.start();
    waitFor([&] { return settleClock.elapsed() > 500; }, 2);
    figures.closedMiB = statusMiB("VmRSS");
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const bool withToolpath = arguments.size() == 4 && arguments.at(3) == QLatin1String("--toolpath");
    if (arguments.size() != 3 && !withToolpath) {
        std::fprintf(stderr, "usage: drennix-desktop-timer time|absolute|helical|arcs FILE [--toolpath]\n");
        return 2;
    }
    AnsweringPresenter presenter;
    MainDialog dialog(presenter);
    dialog.show();
    dialog.findChild<QRadioButton*>(QString::fromLatin1(modeButtonName(arguments.at(1))))->setChecked(true);
    dialog.setSourcePath(arguments.at(2));
    // A user presses Execute on a window already laid out and drawn: its
    // first layout and painting are not part of the run.
    settle();

    bool finished = false;
    QObject::connect(&dialog, &MainDialog::runFinished, [&finished] { finished = true; });
    const double idleMiB = statusMiB("VmRSS");
    resetPeakMemory();
    QElapsedTimer timer;
    timer.start();
    // The processor time of the whole process, both threads (on Linux).
    const std::clock_t cpuStart = std::clock();
    dialog.execute();
    while (!finished) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double peakMiB = statusMiB("VmHWM");
    const auto toolpath = dialog.lastToolpath();
    if (toolpath == nullptr) {
        std::fprintf(stderr, "drennix-desktop-timer: the run handed over no toolpath\n");
        return 1;
    }
    const double recordMiB =
        static_cast<double>(toolpath->moves.memoryBytes() + (toolpath->written ? toolpath->written->memoryBytes() : 0) +
                            (toolpath->speeds ? toolpath->speeds->memoryBytes() : 0)) /
        (1 << 20);
    std::printf("%.3f %.3f %s %zu %.1f %.1f %.1f", seconds, cpuSeconds,
                qPrintable(dialog.resultText(drennix::ResultField::LineCount)), toolpath->moves.moveCount(), idleMiB,
                peakMiB, recordMiB);
    if (withToolpath) {
        const ToolpathFigures figures = toolpathSession(dialog);
        std::printf(" %.3f %.3f %.1f %.1f", figures.firstPictureSeconds, figures.fullPictureSeconds,
                    figures.longestWaitMs, figures.closedMiB);
    }
    std::printf("\n");
    return 0;
}
