#include "drennix_app.h"

#include <memory>

#include "dialog_units.h"
#include "main_dialog.h"
#include "message_presenter.h"
#include "resources.h"
#include "screenshot_tour.h"

DrennixApp::DrennixApp(int& argc, char** argv) : application_(argc, argv) {
    QApplication::setApplicationName(applicationTitle());
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setFont(dialogFont());
    // The program ends with the main window, not with its last visible window
    // (the main window hides while the settings are edited).
    QApplication::setQuitOnLastWindowClosed(false);
}

int DrennixApp::exec() {
    const std::optional<ScreenshotTour::Plan> tourPlan = ScreenshotTour::planFromEnvironment();
    MessageBoxPresenter messageBoxes;
    TourPresenter tourMessages;
    MessagePresenter& presenter = tourPlan ? static_cast<MessagePresenter&>(tourMessages) : messageBoxes;

    MainDialog dialog(presenter);
    QObject::connect(&dialog, &QDialog::finished, &application_, &QCoreApplication::quit);
    dialog.show();

    std::unique_ptr<ScreenshotTour> tour;
    if (tourPlan) {
        tour = std::make_unique<ScreenshotTour>(dialog, tourMessages, *tourPlan);
        QObject::connect(tour.get(), &ScreenshotTour::finished, &application_,
                         [&](bool succeeded) { QCoreApplication::exit(succeeded ? 0 : 1); });
        tour->start();
    }
    return QApplication::exec();
}
