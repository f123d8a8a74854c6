// NC programs for tests, written into a temporary directory.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

inline QString writeSource(const QTemporaryDir& directory, const QString& name, const QByteArray& content) {
    const QString path = QDir(directory.path()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return QString();
    file.write(content);
    return path;
}

// `count` lines of the same straight move, each ending with CR LF.
inline QByteArray repeatedLines(const QByteArray& line, int count) {
    QByteArray content;
    content.reserve((line.size() + 2) * count);
    for (int i = 0; i < count; ++i) content += line + "\r\n";
    return content;
}
