#include "drennix_app.h"

#include <QLocale>
#include <QTranslator>

#include "dialog_units.h"
#include "main_dialog.h"
#include "message_presenter.h"
#include "resources.h"
#include "results_file.h"
#include "settings_store.h"

DrennixApp::DrennixApp(int& argc, char** argv) : application_(argc, argv)
{
    QApplication::setApplicationName(applicationTitle());
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setFont(dialogFont());
    // The program ends with the main window, not with its last visible window
    // (the main window hides while the settings are edited).
    QApplication::setQuitOnLastWindowClosed(false);
    installJapaneseQtTexts(application_);
}

int DrennixApp::exec()
{
    MessageBoxPresenter messageBoxes;
    SettingsStore store(SettingsStore::standardPath());
    MainDialog dialog(messageBoxes);
    QObject::connect(&dialog, &QDialog::finished, &application_, &QCoreApplication::quit);
    // The end of the desktop session ends the program without the exit question.
    QObject::connect(&application_, &QCoreApplication::aboutToQuit, &dialog, [&dialog] { dialog.saveKeptState(); });
    if (const QString results = resultsFileFromEnvironment(); !results.isEmpty())
        writeResultsAfterEachRun(dialog, results);
    dialog.show();
    dialog.keepStateIn(store);
    // What the program was started with: `drennix part.nc`, or several.
    QStringList given = QCoreApplication::arguments();
    given.removeFirst();
    dialog.openGiven(given);
    return QApplication::exec();
}

bool installJapaneseQtTexts(QCoreApplication& application, const QString& folder)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ja"), folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
