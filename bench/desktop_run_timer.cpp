// drennix-desktop-timer MODE FILE: one run of the desktop program's main
// window on FILE, as Execute starts it (the engine on the worker thread, the
// notices and rows carried to the window, the moves recorded for the
// toolpath view and the record handed over), timed from the press to
// runFinished. The message boxes are answered at once. Prints the seconds,
// the processor seconds of all threads over the same span, the line count
// the window shows and the moves the handed-over record holds; run on the
// offscreen platform by scripts/bench.
#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>

#include <cstdio>
#include <ctime>

#include "main_dialog.h"
#include "message_presenter.h"
#include "toolpath_run.h"

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

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: drennix-desktop-timer time|absolute|helical|arcs FILE\n");
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
    const auto toolpath = dialog.lastToolpath();
    if (toolpath == nullptr) {
        std::fprintf(stderr, "drennix-desktop-timer: the run handed over no toolpath\n");
        return 1;
    }
    std::printf("%.3f %.3f %s %zu\n", seconds, cpuSeconds,
                qPrintable(dialog.resultText(drennix::ResultField::LineCount)), toolpath->moves.moveCount());
    return 0;
}
