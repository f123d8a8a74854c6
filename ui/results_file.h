// The result fields of the main window, written to a file after every run in
// the form drennix-cli prints them ("行数：13", a field a line). A test that
// drives the window from outside (the Windows package under Wine) reads the
// figures there; the window names the file DRENNIX_RESULTS_FILE when set.
#pragma once

#include <QString>

class MainDialog;

// The file named by the environment, empty when none is.
QString resultsFileFromEnvironment();

// Replaces `path` whole with the window's result fields; false when it could
// not be written (the file is then as it was).
bool writeResultsFile(const MainDialog& dialog, const QString& path);

// Writes the results to `path` after each run of `dialog` from now on.
void writeResultsAfterEachRun(MainDialog& dialog, const QString& path);
