#include "clipboard_text.h"

namespace {

const QString rowEnd = QStringLiteral("\r\n");

QString cell(const QStringList& row, int column)
{
    return column < row.size() ? row.at(column) : QString();
}

QString coordinateWords(const QStringList& row, bool withZ)
{
    QString text = QStringLiteral("X") + cell(row, 2) + QStringLiteral("Y") + cell(row, 3);
    if (withZ) text += QStringLiteral("Z") + cell(row, 4);
    return text;
}

// Every column behind its half-width label.
QString allColumns(const QStringList& row)
{
    static const char* const labels[] = {
        "行", " ﾃﾞｰﾀ", " X", " Y", " Z", " R", " 始角", " 終角", " R差", " ", " 移動距離",
    };
    QString text;
    int column = 0;
    for (const char* label : labels)
        text += QString::fromUtf8(label) + cell(row, column++);
    return text;
}

}  // namespace

QString composeClipboardText(const QList<QStringList>& rows, drennix::CopyItems items)
{
    QString text;
    for (const QStringList& row : rows) {
        switch (items) {
        case drennix::CopyItems::XY: text += coordinateWords(row, false); break;
        case drennix::CopyItems::XYZ: text += coordinateWords(row, true); break;
        case drennix::CopyItems::AllColumns: text += allColumns(row); break;
        }
        text += rowEnd;
    }
    return text;
}

QString composeTabSeparatedText(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows)
        text += row.join(QLatin1Char('\t')) + rowEnd;
    return text;
}
