// A scripted tour through the program that saves a picture of each window:
// a run in every mode, the absolute display with a selection, the settings
// and the manual. Started by the program when DRENNIX_SCREENSHOT_DIR (where
// the pictures go) and DRENNIX_SCREENSHOT_SOURCE (the NC program to run) are
// set; scripts/screenshots uses it.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "message_presenter.h"

class MainDialog;
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
    };
    static std::optional<Plan> planFromEnvironment();

    ScreenshotTour(MainDialog& dialog, TourPresenter& messages, Plan plan);

    void start();

signals:
    // The tour is over; false when a picture could not be saved.
    void finished(bool succeeded);

private:
    void addRunStep(int runMode, const QString& suffix, const QString& picture);
    void addStep(std::function<void()> step);
    void nextStep();
    void continueLater();
    void save(QWidget* window, const QString& picture);
    void saveLastMessage(const QString& picture);

    MainDialog& dialog_;
    TourPresenter& messages_;
    Plan plan_;
    std::vector<std::function<void()>> steps_;
    std::size_t nextStep_ = 0;
    bool waitingForRun_ = false;
    bool succeeded_ = true;
};
