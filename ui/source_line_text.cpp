#include "source_line_text.h"

#include <QFile>

#include "cp932.h"

QString decodeSourceLine(std::string_view bytes)
{
    return QString::fromStdString(drennix::text::decodeCp932ToUtf8(bytes));
}

std::optional<QString> readSourceLine(const QString& path, long long line, const std::function<bool()>& stopped)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    QByteArray bytes;
    for (long long number = 1; number <= line && !file.atEnd(); ++number) {
        if (number % 4096 == 0 && stopped && stopped()) return std::nullopt;
        bytes = file.readLine();
    }
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    return decodeSourceLine(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::optional<std::string> encodeCodePage932(const QString& text)
{
    return drennix::text::encodeUtf8ToCp932(text.toStdString());
}
