// The file dialog of 参照: Qt's own dialog on every desktop, so that it speaks
// Japanese with the program's translation, owned by the main window and in
// front of it. It opens in a given folder with "*.nc*" in its name field and
// the filter of NC programs (.nc, .ngc, .tap, .gcode, .cnc, .txt), and lists
// the files with their size, type (in Japanese) and date, every column wide
// enough for what it shows.
#pragma once

#include <optional>

#include <QString>

class QFileDialog;
class QWidget;

// A new dialog, not yet shown; `folder` empty or gone: the working folder.
QFileDialog* createSourceFileDialog(QWidget* owner, const QString& folder);

// Shows the dialog and waits for the choice; nothing when it was cancelled.
std::optional<QString> chooseSourceFile(QWidget* owner, const QString& folder);
