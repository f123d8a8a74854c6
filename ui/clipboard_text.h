// The texts that a copy from the list windows puts on the clipboard.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "vocabulary.h"

// Builds the copy of `rows` (each the 11 cell texts of one selected row, in
// ascending row order) in the form `items` chooses: X and Y; X, Y and Z; or
// every column with its label. An empty cell adds nothing, so its label
// stands alone. Every row ends with CR LF.
QString composeClipboardText(const QList<QStringList>& rows, drennix::CopyItems items);

// Each of `rows` as one line of its cells separated by tabs, ended by CR LF:
// the copy of the tools window, ready to paste into a spreadsheet.
QString composeTabSeparatedText(const QList<QStringList>& rows);
