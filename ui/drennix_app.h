// The application: one main window for the life of the program, which ends
// when that window closes.
#pragma once

#include <QApplication>
#include <QLibraryInfo>
#include <QString>

class DrennixApp {
public:
    // The application object with the program's name, icon, font and Qt's
    // Japanese texts.
    DrennixApp(int& argc, char** argv);

    // Shows the main window with the settings and inputs of the last start
    // and runs until it closes; the exit status.
    int exec();

private:
    QApplication application_;
};

// Qt's own texts (the buttons of message boxes, the file dialog) in Japanese
// whatever the system's language: loads Qt's translation qtbase_ja from
// `folder` and makes Japanese the default locale. False when the translation
// is missing or unreadable; Qt's English texts then stay.
bool installJapaneseQtTexts(QCoreApplication& application,
                            const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
