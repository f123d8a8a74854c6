// drennix-desktop-timer MODE FILE: one run of the desktop program's main
// window on FILE, as Execute starts it (the engine on the worker thread, the
// notices carried to the window), timed from the press to runFinished. The
// message boxes are answered at once. Prints the seconds and the line count
// the window shows; run on the offscreen platform by scripts/bench.
#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>

#include <cstdio>

#include "main_dialog.h"
#include "message_presenter.h"

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

    bool finished = false;
    QObject::connect(&dialog, &MainDialog::runFinished, [&finished] { finished = true; });
    QElapsedTimer timer;
    timer.start();
    dialog.execute();
    while (!finished) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("%.3f %s\n", seconds, qPrintable(dialog.resultText(drennix::ResultField::LineCount)));
    return 0;
}
