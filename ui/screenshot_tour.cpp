#include "screenshot_tour.h"

#include <utility>

#include <QAbstractButton>
#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTableView>
#include <QTimer>

#include "absolute_display_dialog.h"
#include "absolute_row_model.h"
#include "help_window.h"
#include "main_dialog.h"
#include "settings_dialog.h"

namespace {

const char* const runModeButtonNames[] = {
    "machiningTimeMode", "absoluteDisplayMode", "convertHelicalMode", "convertArcsMode"};

// Rows selected in the picture of the absolute display: not adjacent.
constexpr int selectedRows[] = {4, 7, 8};

}  // namespace

void TourPresenter::showMessage(QWidget* /*parent*/, const QString& text, drennix::MessageKind kind) {
    lastText_ = text;
    lastKind_ = kind;
}

bool TourPresenter::confirm(QWidget* /*parent*/, const QString& /*text*/) { return true; }

std::optional<ScreenshotTour::Plan> ScreenshotTour::planFromEnvironment() {
    const QString directory = qEnvironmentVariable("DRENNIX_SCREENSHOT_DIR");
    const QString source = qEnvironmentVariable("DRENNIX_SCREENSHOT_SOURCE");
    if (directory.isEmpty() || source.isEmpty()) return std::nullopt;
    return Plan{directory, source};
}

ScreenshotTour::ScreenshotTour(MainDialog& dialog, TourPresenter& messages, Plan plan)
    : dialog_(dialog), messages_(messages), plan_(std::move(plan)) {
    connect(&dialog_, &MainDialog::runFinished, this, [this] {
        if (!waitingForRun_) return;
        waitingForRun_ = false;
        continueLater();
    });

    addStep([this] {
        dialog_.setSourcePath(plan_.sourcePath);
        continueLater();
    });
    addRunStep(0, QStringLiteral("_con"), QStringLiteral("main-machining-time"));
    addStep([this] {
        saveLastMessage(QStringLiteral("message-calculated"));
        continueLater();
    });
    addRunStep(1, QStringLiteral("_con"), QStringLiteral("main-absolute-display"));
    addStep([this] {
        AbsoluteDisplayDialog* window = dialog_.latestAbsoluteDisplay();
        if (window != nullptr) {
            QItemSelectionModel* selection = window->list()->selectionModel();
            for (const int row : selectedRows) {
                if (row < window->model()->rowCount()) {
                    selection->select(window->model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
                }
            }
            save(window, QStringLiteral("absolute-display"));
        }
        continueLater();
    });
    addRunStep(2, QStringLiteral("_con"), QStringLiteral("main-convert-helical"));
    addStep([this] {
        saveLastMessage(QStringLiteral("message-created"));
        continueLater();
    });
    addRunStep(3, QStringLiteral("_arcs"), QStringLiteral("main-convert-arcs"));
    addStep([this] {
        SettingsDialog settings(dialog_.settings(), messages_);
        settings.show();
        save(&settings, QStringLiteral("settings"));
        settings.reject();
        continueLater();
    });
    addStep([this] {
        dialog_.showHelp();
        if (dialog_.helpWindow() != nullptr) save(dialog_.helpWindow(), QStringLiteral("help"));
        continueLater();
    });
}

void ScreenshotTour::addStep(std::function<void()> step) { steps_.push_back(std::move(step)); }

void ScreenshotTour::addRunStep(int runMode, const QString& suffix, const QString& picture) {
    addStep([this, runMode, suffix] {
        auto* button = dialog_.findChild<QAbstractButton*>(QString::fromLatin1(runModeButtonNames[runMode]));
        auto* suffixEdit = dialog_.findChild<QLineEdit*>(QStringLiteral("suffixEdit"));
        if (button != nullptr) button->setChecked(true);
        if (suffixEdit != nullptr) suffixEdit->setText(suffix);
        waitingForRun_ = true;
        dialog_.execute();
        if (!dialog_.isRunning()) {
            waitingForRun_ = false;
            succeeded_ = false;
            continueLater();
        }
    });
    addStep([this, picture] {
        save(&dialog_, picture);
        continueLater();
    });
}

void ScreenshotTour::start() { continueLater(); }

void ScreenshotTour::continueLater() { QTimer::singleShot(0, this, &ScreenshotTour::nextStep); }

void ScreenshotTour::nextStep() {
    if (nextStep_ >= steps_.size()) {
        emit finished(succeeded_);
        return;
    }
    steps_[nextStep_++]();
}

void ScreenshotTour::save(QWidget* window, const QString& picture) {
    const QString path = QDir(plan_.outputDirectory).filePath(picture + QStringLiteral(".png"));
    if (!window->grab().save(path)) succeeded_ = false;
}

// The message box of the last message, as the user would see it.
void ScreenshotTour::saveLastMessage(const QString& picture) {
    const auto icon =
        messages_.lastKind() == drennix::MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(icon, applicationTitle(), messages_.lastText(), QMessageBox::Ok, &dialog_);
    box.show();
    save(&box, picture);
    box.close();
}
