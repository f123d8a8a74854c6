// A scripted tour through the program that saves a picture of each window:
// a run in every mode, the absolute display with a selection, the toolpath
// (XY and isometric, and a converted run with its deviations), the settings
// and the manual; and two pictures of the screen as a window manager stacks
// the windows: a list window in front of the main window, and the file dialog
// of 参照. Only drennix-screenshots (behind scripts/screenshots) runs
// it; the program itself carries none of it.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "message_presenter.h"

class MainDialog;
class QFileDialog;
class QWidget;

// Answers every message without a window, remembering the last one.
class TourPresenter final : public MessagePresenter {
public:
    void showMessage(QWidget* parent, const QString& text, drennix::MessageKind kind) override;
    bool confirm(QWidget* parent, const QString& text) override;

    QString lastText() const { return lastText_; }
    drennix::MessageKind lastKind() const { return lastKind_; }

private:
    QString lastText_;
    drennix::MessageKind lastKind_ = drennix::MessageKind::Information;
};

class ScreenshotTour : public QObject {
    Q_OBJECT

public:
    struct Plan {
        QString outputDirectory;
        QString sourcePath;
        // A big program, converted at the end for a picture of its toolpath
        // (none: no such picture).
        QString largeSourcePath;
    };
    // The plan from the command line "PROGRAM OUTPUT_FOLDER SOURCE
    // [LARGE_SOURCE]"; nothing when the first two are not both given.
    static std::optional<Plan> planFromArguments(const QStringList& arguments);

    ScreenshotTour(MainDialog& dialog, TourPresenter& messages, Plan plan);

    void start();

signals:
    // The tour is over; false when a run did not start or a picture could
    // not be saved.
    void finished(bool succeeded);

private:
    void addRunStep(int runMode, const QString& suffix, const QString& picture);
    void addStep(std::function<void()> step);
    // A step after which the tour waits `milliseconds` before it goes on.
    void addStepThenWait(std::function<void()> step, int milliseconds);

    // The steps that are more than a run and its picture.
    void openSource();
    void saveAbsoluteDisplayWithSelection();
    void openToolpathFromList();
    void saveToolpath(const QString& viewButton, const QString& picture);
    void saveSettings();
    void saveHelp();
    void openFileDialog();
    void saveFileDialog();

    void nextStep();
    void continueLater();
    void save(QWidget* window, const QString& picture);
    // The part of the screen that shows `windows` with their frames; the
    // windows themselves where there is no screen to take (offscreen).
    void saveScreen(const QList<QWidget*>& windows, const QString& picture);
    void saveLastMessage(const QString& picture);

    MainDialog& dialog_;
    TourPresenter& messages_;
    Plan plan_;
    std::vector<std::function<void()>> steps_;
    QPointer<QFileDialog> fileDialog_;
    std::size_t nextStep_ = 0;
    bool waitingForRun_ = false;
    bool succeeded_ = true;
};
