#include "settings_store.h"

#include <filesystem>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

namespace {

std::filesystem::path fileSystemPath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

}  // namespace

SettingsStore::SettingsStore(QString path) : path_(std::move(path)) {}

QString SettingsStore::standardPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("settings.json"));
}

SettingsStore::LoadStatus SettingsStore::load(drennix::settings_file::KeptState& state) const
{
    const QFileInfo file(path_);
    if (!file.exists() && !file.isSymLink()) return LoadStatus::Absent;
    drennix::settings_file::KeptState read = state;
    if (const auto error = drennix::settings_file::readSettingsFile(fileSystemPath(path_), read,
                                                                    drennix::settings_file::Parts::SettingsAndMain)) {
        qWarning("Drennix: %s: %s", qPrintable(path_), error->c_str());
        return LoadStatus::Unreadable;
    }
    if (const auto failure = drennix::validateVocabulary(read.settings)) {
        qWarning("Drennix: %s: %s", qPrintable(path_), failure->c_str());
        return LoadStatus::Unreadable;
    }
    state = std::move(read);
    return LoadStatus::Loaded;
}

bool SettingsStore::save(const drennix::settings_file::KeptState& state) const
{
    if (const auto error = drennix::settings_file::writeSettingsFile(fileSystemPath(path_), state)) {
        qWarning("Drennix: %s: %s", qPrintable(path_), error->c_str());
        return false;
    }
    return true;
}
