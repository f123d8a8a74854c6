#include "drennix_app.h"

#include "dialog_units.h"
#include "main_dialog.h"
#include "message_presenter.h"
#include "resources.h"

DrennixApp::DrennixApp(int& argc, char** argv) : application_(argc, argv)
{
    QApplication::setApplicationName(applicationTitle());
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setFont(dialogFont());
    // The program ends with the main window, not with its last visible window
    // (the main window hides while the settings are edited).
    QApplication::setQuitOnLastWindowClosed(false);
}

int DrennixApp::exec()
{
    MessageBoxPresenter messageBoxes;
    MainDialog dialog(messageBoxes);
    QObject::connect(&dialog, &QDialog::finished, &application_, &QCoreApplication::quit);
    dialog.show();
    return QApplication::exec();
}
