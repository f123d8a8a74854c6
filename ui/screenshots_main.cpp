// drennix-screenshots: saves a picture of each window of the desktop program.
//
//   drennix-screenshots OUTPUT_FOLDER SOURCE [LARGE_SOURCE]
//
// SOURCE is the NC program the tour runs; the converting runs write next to
// it. LARGE_SOURCE, a big program, is converted last for a picture of its
// toolpath. The exit status is 0 when every picture was saved, 1 when one was not,
// 2 for a wrong command line.
#include <cstdio>

#include <QApplication>

#include "drennix_app.h"
#include "main_dialog.h"
#include "screenshot_tour.h"

int main(int argc, char** argv)
{
    // The program's own application object: the same name, icon and font.
    DrennixApp application(argc, argv);
    const std::optional<ScreenshotTour::Plan> plan = ScreenshotTour::planFromArguments(QCoreApplication::arguments());
    if (!plan) {
        std::fputs("usage: drennix-screenshots OUTPUT_FOLDER SOURCE [LARGE_SOURCE]\n", stderr);
        return 2;
    }

    TourPresenter messages;
    MainDialog dialog(messages);
    dialog.show();
    ScreenshotTour tour(dialog, messages, *plan);
    QObject::connect(&tour, &ScreenshotTour::finished, &tour,
                     [](bool succeeded) { QCoreApplication::exit(succeeded ? 0 : 1); });
    tour.start();
    return QApplication::exec();
}
