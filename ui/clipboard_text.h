// The text that a copy from the absolute display puts on the clipboard.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Builds the copy of `rows` (each the 11 cell texts of one selected row, in
// ascending row order) in the form `copyItems` chooses: below 1 X and Y,
// 1 X, Y and Z, above 1 every column with its label. An empty cell adds
// nothing, so its label stands alone. Every row ends with CR LF.
QString composeClipboardText(const QList<QStringList>& rows, int copyItems);
