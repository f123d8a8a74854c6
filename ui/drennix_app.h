// The application: one main window for the life of the program, which ends
// when that window closes.
#pragma once

#include <QApplication>

class DrennixApp {
public:
    // The application object with the program's name, icon and font.
    DrennixApp(int& argc, char** argv);

    // Shows the main window and runs until it closes; the exit status.
    int exec();

private:
    QApplication application_;
};
