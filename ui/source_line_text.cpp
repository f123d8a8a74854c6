#include "source_line_text.h"

#include "cp932.h"

QString decodeSourceLine(std::string_view bytes)
{
    return QString::fromStdString(drennix::text::decodeCp932ToUtf8(bytes));
}

std::optional<std::string> encodeCodePage932(const QString& text)
{
    return drennix::text::encodeUtf8ToCp932(text.toStdString());
}
