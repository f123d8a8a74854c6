#include "screenshot_tour.h"

#include <utility>

#include <QAbstractButton>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "absolute_display_dialog.h"
#include "absolute_row_model.h"
#include "help_window.h"
#include "main_dialog.h"
#include "settings_dialog.h"
#include "source_file_dialog.h"
#include "toolpath_canvas.h"
#include "toolpath_window.h"

namespace {

const char* const runModeButtonNames[] = {"machiningTimeMode", "absoluteDisplayMode", "convertHelicalMode",
                                          "convertArcsMode"};

// Rows selected in the picture of the absolute display: not adjacent.
constexpr int selectedRows[] = {4, 7, 8};

// Time for the window manager to stack a new window and for the file dialog
// to read its folder.
constexpr int settleMilliseconds = 800;
// The longest a toolpath picture may take to be drawn.
constexpr int pictureWaitMilliseconds = 20000;

// The room around the windows in a picture of the screen.
constexpr int screenMargin = 12;

// Where the main window stands: near the top left corner, so that the list
// window, centred on the screen, covers only part of it.
constexpr QPoint mainWindowPlace(40, 40);

}  // namespace

void TourPresenter::showMessage(QWidget* /*parent*/, const QString& text, drennix::MessageKind kind)
{
    lastText_ = text;
    lastKind_ = kind;
}

bool TourPresenter::confirm(QWidget* /*parent*/, const QString& /*text*/)
{
    return true;
}

std::optional<ScreenshotTour::Plan> ScreenshotTour::planFromArguments(const QStringList& arguments)
{
    if (arguments.size() < 3 || arguments.size() > 4 || arguments[1].isEmpty() || arguments[2].isEmpty()) {
        return std::nullopt;
    }
    return Plan{arguments[1], arguments[2], arguments.value(3)};
}

ScreenshotTour::ScreenshotTour(MainDialog& dialog, TourPresenter& messages, Plan plan)
    : dialog_(dialog), messages_(messages), plan_(std::move(plan))
{
    connect(&dialog_, &MainDialog::runFinished, this, [this] {
        if (!waitingForRun_) return;
        waitingForRun_ = false;
        continueLater();
    });

    addStep([this] { openSource(); });
    addRunStep(0, QStringLiteral("_con"), QStringLiteral("main-machining-time"));
    addStep([this] { saveLastMessage(QStringLiteral("message-calculated")); });
    addRunStep(1, QStringLiteral("_con"), QStringLiteral("main-absolute-display"));
    addStepThenWait([] {}, settleMilliseconds);
    addStep([this] {
        saveScreen({&dialog_, dialog_.latestAbsoluteDisplay()}, QStringLiteral("desktop-absolute-display"));
    });
    addStep([this] { saveAbsoluteDisplayWithSelection(); });
    addStepThenWait([this] { openToolpathFromList(); }, settleMilliseconds);
    addStep([this] { saveToolpath(QStringLiteral("viewXY"), QStringLiteral("toolpath-xy")); });
    addStep([this] { saveToolpath(QStringLiteral("viewIsometric"), QStringLiteral("toolpath-iso")); });
    addRunStep(2, QStringLiteral("_con"), QStringLiteral("main-convert-helical"));
    addStep([this] { saveLastMessage(QStringLiteral("message-created")); });
    addRunStep(3, QStringLiteral("_arcs"), QStringLiteral("main-convert-arcs"));
    addStepThenWait([this] { dialog_.showLastToolpath(); }, settleMilliseconds);
    addStep([this] { saveToolpath(QStringLiteral("viewXY"), QStringLiteral("toolpath-converted")); });
    addStep([this] {
        if (dialog_.toolpathWindow() != nullptr) dialog_.toolpathWindow()->close();
    });
    addStep([this] { saveSettings(); });
    addStep([this] { saveHelp(); });
    addStepThenWait([this] { openFileDialog(); }, settleMilliseconds);
    addStep([this] { saveFileDialog(); });
    if (!plan_.largeSourcePath.isEmpty()) {
        addStep([this] { dialog_.setSourcePath(plan_.largeSourcePath); });
        addRunStep(3, QStringLiteral("_arcs"), QStringLiteral("main-convert-large"));
        addStepThenWait([this] { dialog_.showLastToolpath(); }, settleMilliseconds);
        addStep([this] { saveToolpath(QStringLiteral("viewXY"), QStringLiteral("toolpath-large")); });
    }
}

void ScreenshotTour::addStepThenWait(std::function<void()> step, int milliseconds)
{
    steps_.push_back([this, step = std::move(step), milliseconds] {
        step();
        QTimer::singleShot(milliseconds, this, &ScreenshotTour::nextStep);
    });
}

// A step that is over when it returns: the next one follows from the event loop.
void ScreenshotTour::addStep(std::function<void()> step)
{
    steps_.push_back([this, step = std::move(step)] {
        step();
        continueLater();
    });
}

// Starts a run in the mode and goes on when it has finished (or at once when
// it did not start), then saves the main window.
void ScreenshotTour::addRunStep(int runMode, const QString& suffix, const QString& picture)
{
    steps_.push_back([this, runMode, suffix] {
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
    addStep([this, picture] { save(&dialog_, picture); });
}

void ScreenshotTour::openSource()
{
    dialog_.move(mainWindowPlace);
    dialog_.setSourcePath(plan_.sourcePath);
}

void ScreenshotTour::saveAbsoluteDisplayWithSelection()
{
    AbsoluteDisplayDialog* window = dialog_.latestAbsoluteDisplay();
    if (window == nullptr) return;
    QItemSelectionModel* selection = window->list()->selectionModel();
    for (const int row : selectedRows) {
        if (row < window->model()->rowCount()) {
            selection->select(window->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    save(window, QStringLiteral("absolute-display"));
}

// The list's ﾂｰﾙﾊﾟｽ button, with the rows of the list's picture selected.
void ScreenshotTour::openToolpathFromList()
{
    AbsoluteDisplayDialog* window = dialog_.latestAbsoluteDisplay();
    if (window == nullptr) return;
    if (auto* button = window->findChild<QAbstractButton*>(QStringLiteral("toolpathButton"))) button->click();
}

// Shows the toolpath in the view of the button `viewButton` and saves it.
void ScreenshotTour::saveToolpath(const QString& viewButton, const QString& picture)
{
    ToolpathWindow* window = dialog_.toolpathWindow();
    if (window == nullptr) {
        succeeded_ = false;
        return;
    }
    if (auto* button = window->findChild<QAbstractButton*>(viewButton)) button->click();
    // The picture is drawn on the renderer's thread.
    ToolpathCanvas* canvas = window->canvas();
    if (!canvas->pictureCurrent()) {
        QEventLoop loop;
        QObject::connect(canvas, &ToolpathCanvas::pictureShown, &loop, &QEventLoop::quit);
        QTimer::singleShot(pictureWaitMilliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!canvas->pictureCurrent()) succeeded_ = false;
    save(window, picture);
}

void ScreenshotTour::saveSettings()
{
    SettingsDialog settings(dialog_.settings(), messages_);
    settings.show();
    save(&settings, QStringLiteral("settings"));
    if (settings.pages() != nullptr) {
        settings.pages()->setCurrentIndex(1);
        save(&settings, QStringLiteral("settings-dialects"));
    }
    settings.reject();
}

void ScreenshotTour::saveHelp()
{
    dialog_.showHelp();
    if (dialog_.helpWindow() != nullptr) save(dialog_.helpWindow(), QStringLiteral("help"));
}

// The dialog of 参照 over the main window, in the source's folder.
void ScreenshotTour::openFileDialog()
{
    if (dialog_.helpWindow() != nullptr) dialog_.helpWindow()->close();
    for (AbsoluteDisplayDialog* window : dialog_.findChildren<AbsoluteDisplayDialog*>())
        window->close();
    fileDialog_ = createSourceFileDialog(&dialog_, QFileInfo(plan_.sourcePath).absolutePath());
    fileDialog_->open();
}

void ScreenshotTour::saveFileDialog()
{
    if (fileDialog_ == nullptr) {
        succeeded_ = false;
        return;
    }
    saveScreen({fileDialog_.data()}, QStringLiteral("desktop-file-dialog"));
    fileDialog_->reject();
    delete fileDialog_.data();
}

void ScreenshotTour::saveScreen(const QList<QWidget*>& windows, const QString& picture)
{
    QRect area;
    for (QWidget* window : windows) {
        if (window != nullptr && window->isVisible()) area |= window->frameGeometry();
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (area.isEmpty() || screen == nullptr) {
        succeeded_ = false;
        return;
    }
    area = area.adjusted(-screenMargin, -screenMargin, screenMargin, screenMargin) & screen->geometry();
    QPixmap shot;
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    } else {
        // No screen to take: the windows drawn in their places, bottom first.
        shot = QPixmap(area.size());
        shot.fill(Qt::darkGray);
        QPainter painter(&shot);
        for (QWidget* window : windows) {
            if (window != nullptr && window->isVisible()) {
                painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
            }
        }
    }
    const QString path = QDir(plan_.outputDirectory).filePath(picture + QStringLiteral(".png"));
    if (shot.isNull() || !shot.save(path)) succeeded_ = false;
}

void ScreenshotTour::start()
{
    continueLater();
}

void ScreenshotTour::continueLater()
{
    QTimer::singleShot(0, this, &ScreenshotTour::nextStep);
}

void ScreenshotTour::nextStep()
{
    if (nextStep_ >= steps_.size()) {
        emit finished(succeeded_);
        return;
    }
    steps_[nextStep_++]();
}

void ScreenshotTour::save(QWidget* window, const QString& picture)
{
    const QString path = QDir(plan_.outputDirectory).filePath(picture + QStringLiteral(".png"));
    if (!window->grab().save(path)) succeeded_ = false;
}

// The message box of the last message, as the user would see it.
void ScreenshotTour::saveLastMessage(const QString& picture)
{
    const auto icon =
        messages_.lastKind() == drennix::MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(icon, applicationTitle(), messages_.lastText(), QMessageBox::Ok, &dialog_);
    box.show();
    save(&box, picture);
    box.close();
}
