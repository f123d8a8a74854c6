#include "results_file.h"

#include <sstream>
#include <string>

#include <QSaveFile>
#include <QtGlobal>

#include "main_dialog.h"
#include "text_report.h"

QString resultsFileFromEnvironment()
{
    return qEnvironmentVariable("DRENNIX_RESULTS_FILE");
}

bool writeResultsFile(const MainDialog& dialog, const QString& path)
{
    drennix::ResultTexts fields;
    for (int field = 0; field < drennix::resultFieldCount; ++field) {
        const auto which = static_cast<drennix::ResultField>(field);
        fields[which] = dialog.resultText(which).toStdString();
    }
    std::ostringstream text;
    drennix::cli::writeResultFields(text, fields);
    const std::string bytes = text.str();

    // Whole or not at all: a reader never sees half of it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return file.commit();
}

void writeResultsAfterEachRun(MainDialog& dialog, const QString& path)
{
    QObject::connect(&dialog, &MainDialog::runFinished, &dialog, [&dialog, path] {
        if (!writeResultsFile(dialog, path)) qWarning("Drennix: %s: not written", qPrintable(path));
    });
}
