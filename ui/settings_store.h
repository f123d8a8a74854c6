// Where the desktop program keeps its settings and the main window's inputs
// between starts: settings.json in the folder the platform names for the
// program's configuration (QStandardPaths::AppConfigLocation).
#pragma once

#include <QString>

#include "settings_file.h"

class SettingsStore {
public:
    explicit SettingsStore(QString path);

    // settings.json in the program's configuration folder.
    static QString standardPath();

    const QString& path() const { return path_; }

    enum class LoadStatus {
        Loaded,      // `state` holds the file's settings and inputs
        Absent,      // no file yet: `state` is unchanged
        Unreadable,  // the file cannot be read or is not valid: `state` is unchanged
    };
    // Reads the file over `state`; its settings must also pass the
    // vocabulary's rules.
    LoadStatus load(drennix::settings_file::KeptState& state) const;

    // Writes the file whole; false when it could not be written.
    bool save(const drennix::settings_file::KeptState& state) const;

private:
    QString path_;
};
