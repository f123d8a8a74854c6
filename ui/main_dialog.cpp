#include "main_dialog.h"

#include "summary_dialog.h"

#include <exception>
#include <string>
#include <utility>

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QShortcutEvent>
#include <QShowEvent>
#include <QTimer>

#include "absolute_display_dialog.h"
#include "dialog_units.h"
#include "field_text.h"
#include "help_window.h"
#include "message_presenter.h"
#include "messages.h"
#include "number_format.h"
#include "resources.h"
#include "results.h"
#include "run_input_guard.h"
#include "settings_dialog.h"
#include "settings_store.h"
#include "source_file_dialog.h"
#include "tool_table_dialog.h"
#include "toolpath_canvas.h"
#include "toolpath_recorder.h"
#include "toolpath_window.h"
#include "ui_texts.h"
#include "value_field.h"
#include "window_placement.h"

using drennix::ResultField;

namespace {

// The window's size in dialog units.
constexpr int dialogWidthUnits = 383;
constexpr int dialogHeightUnits = 186;

// One result field: its label, where the label and the value stand.
// The captions are the engine's (行数：, 時間： ...).
struct ResultPlacement {
    ResultField field;
    int labelX, labelY, labelWidth;
    int valueX, valueY;
};

// In the window's tab order.
constexpr ResultPlacement resultPlacements[] = {
    {ResultField::LineCount, 280, 65, 45, 325, 65},
    {ResultField::MachiningTime, 280, 85, 45, 325, 85},
    {ResultField::MaxX, 5, 105, 35, 40, 105},
    {ResultField::MaxY, 95, 105, 35, 130, 105},
    {ResultField::MaxZ, 185, 105, 35, 220, 105},
    {ResultField::RapidDistance, 280, 105, 45, 325, 105},
    {ResultField::MinX, 5, 125, 35, 40, 125},
    {ResultField::MinY, 95, 125, 35, 130, 125},
    {ResultField::MinZ, 185, 125, 35, 220, 125},
    {ResultField::CuttingDistance, 280, 125, 45, 325, 125},
    {ResultField::ArcCount, 5, 145, 35, 40, 145},
    {ResultField::MaxRadius, 95, 145, 35, 130, 145},
    {ResultField::RadiusDifference, 185, 145, 35, 220, 145},
    {ResultField::HelicalCount, 270, 145, 55, 325, 145},
};
constexpr int resultValueWidth = 50;
constexpr int controlHeight = 15;

// The order in which a run empties the fields.
constexpr ResultField clearingOrder[] = {
    ResultField::MachiningTime,
    ResultField::RapidDistance,
    ResultField::CuttingDistance,
    ResultField::MinX,
    ResultField::MinY,
    ResultField::MinZ,
    ResultField::MaxX,
    ResultField::MaxY,
    ResultField::MaxZ,
    ResultField::LineCount,
    ResultField::ArcCount,
    ResultField::HelicalCount,
    ResultField::RadiusDifference,
    ResultField::MaxRadius,
};

struct RunModeButton {
    drennix::RunMode mode;
    const char* caption;
    const char* name;
    int x;
};

constexpr RunModeButton runModeButtons[] = {
    {drennix::RunMode::MachiningTime, texts::machiningTimeMode, "machiningTimeMode", 10},
    {drennix::RunMode::AbsoluteDisplay, texts::absoluteDisplayMode, "absoluteDisplayMode", 75},
    {drennix::RunMode::ConvertHelical, texts::convertHelicalMode, "convertHelicalMode", 140},
    {drennix::RunMode::ConvertArcs, texts::convertArcsMode, "convertArcsMode", 205},
};

using texts::text;

// The engine takes names as UTF-8 on Windows (it turns them into UTF-16 for
// the system's wide calls); elsewhere as the file system's bytes.
std::string toBytes(const QString& text)
{
#if defined(Q_OS_WIN)
    return text.toStdString();
#else
    return QFile::encodeName(text).toStdString();
#endif
}

QLabel* makeLabel(QWidget* parent, const DialogUnits& units, const char* caption, int x, int y, int width,
                  QWidget* buddy = nullptr)
{
    auto* label = new QLabel(text(caption), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (buddy != nullptr) label->setBuddy(buddy);
    units.place(label, x, y, width, controlHeight);
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const DialogUnits& units, const char* name, int x, int y)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAlignment(Qt::AlignCenter);
    units.place(edit, x, y, 40, controlHeight);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const DialogUnits& units, const char* caption, const char* name, int x, int y)
{
    auto* button = new QPushButton(text(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    units.place(button, x, y, 45, controlHeight);
    return button;
}

// A number typed into `edit`, or `fallback` when it holds none.
double numberOr(const QLineEdit* edit, double fallback)
{
    return parseNumber(edit->text()).value_or(fallback);
}

}  // namespace

MainDialog::MainDialog(MessagePresenter& presenter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      presenter_(presenter),
      chooseSourceFile_(chooseSourceFile),
      bridge_(this, *this),
      inputGuard_(new RunInputGuard([this] { bridge_.requestAbort(); }, this)),
      placer_(new WindowPlacer(this))
{
    setObjectName(QStringLiteral("mainDialog"));
    setWindowTitle(applicationTitle());
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    setAcceptDrops(true);
    buildControls();
    setDefaultInputs();
    drennix::resetToDefaults(settings_);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { showHelp(); });
}

MainDialog::~MainDialog()
{
    abandonRun();
}

// The window goes while a run works: the run is asked to stop, a message it
// waits on is released and nothing more it tells reaches the window, so that
// its thread ends at the next line it reads; only then is it waited for.
void MainDialog::abandonRun()
{
    bridge_.detach();
    if (worker_.joinable()) worker_.join();
    while (waitDepth_ > 0)
        endWait();
    inputGuard_->release();
    running_ = false;
}

void MainDialog::buildControls()
{
    const DialogUnits units(font());
    setFixedSize(units.toPixels(QSize(dialogWidthUnits, dialogHeightUnits)));

    makeLabel(this, units, texts::sourceLabel, 0, 5, 35);
    sourceField_ = new ValueField(this);
    sourceField_->setObjectName(QStringLiteral("sourceField"));
    units.place(sourceField_, 35, 5, 190, controlHeight);
    auto* browseButton = makeButton(this, units, texts::browseButton, "browseButton", 330, 5);
    connect(browseButton, &QPushButton::clicked, this, &MainDialog::browse);

    suffixEdit_ = makeEdit(this, units, "suffixEdit", 85, 25);
    makeLabel(this, units, texts::suffixLabel, 0, 25, 85, suffixEdit_);
    toleranceEdit_ = makeEdit(this, units, "toleranceEdit", 185, 25);
    makeLabel(this, units, texts::toleranceLabel, 125, 25, 60, toleranceEdit_);
    executeButton_ = makeButton(this, units, texts::executeButton, "executeButton", 230, 25);
    executeButton_->setDefault(true);
    connect(executeButton_, &QPushButton::clicked, this, &MainDialog::execute);
    auto* exitButton = makeButton(this, units, texts::exitButton, "exitButton", 280, 25);
    connect(exitButton, &QPushButton::clicked, this, &MainDialog::reject);

    initialXEdit_ = makeEdit(this, units, "initialXEdit", 85, 45);
    makeLabel(this, units, texts::initialXLabel, 25, 45, 60, initialXEdit_);
    initialYEdit_ = makeEdit(this, units, "initialYEdit", 185, 45);
    makeLabel(this, units, texts::initialYLabel, 125, 45, 60, initialYEdit_);
    initialZEdit_ = makeEdit(this, units, "initialZEdit", 285, 45);
    makeLabel(this, units, texts::initialZLabel, 225, 45, 60, initialZEdit_);

    buildRunModeGroup();
    buildResultFields();

    auto* settingsButton = makeButton(this, units, texts::settingsButton, "settingsButton", 330, 25);
    connect(settingsButton, &QPushButton::clicked, this, &MainDialog::openSettings);
    auto* helpButton = makeButton(this, units, texts::helpButton, "helpButton", 330, 45);
    connect(helpButton, &QPushButton::clicked, this, [this] { showHelp(); });

    // In the column of 終了, beside 参照: after any finished run.
    toolpathButton_ = makeButton(this, units, texts::toolpathButton, "toolpathButton", 280, 5);
    toolpathButton_->setEnabled(false);
    connect(toolpathButton_, &QPushButton::clicked, this, &MainDialog::showLastToolpath);
    // Beside it: after a run that read tool changes.
    toolTableButton_ = makeButton(this, units, texts::toolTableButton, "toolTableButton", 230, 5);
    toolTableButton_->setEnabled(false);
    connect(toolTableButton_, &QPushButton::clicked, this, &MainDialog::showToolTable);

    // The tab order of the layout; a label's mnemonic reaches its buddy.
    QWidget* const chain[] = {browseButton, suffixEdit_,   toleranceEdit_, executeButton_,
                              exitButton,   initialXEdit_, initialYEdit_,  initialZEdit_};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    setTabOrder(initialZEdit_, runModeGroup_->buttons().constFirst());
    setTabOrder(runModeGroup_->buttons().constLast(), settingsButton);
    setTabOrder(settingsButton, helpButton);
    setTabOrder(helpButton, toolpathButton_);
    setTabOrder(toolpathButton_, toolTableButton_);
}

void MainDialog::buildRunModeGroup()
{
    const DialogUnits units(font());
    auto* frame = new QGroupBox(text(texts::runModeFrame), this);
    units.place(frame, 5, 65, 270, 30);
    runModeGroup_ = new QButtonGroup(this);
    for (const RunModeButton& button : runModeButtons) {
        auto* radio = new QRadioButton(text(button.caption), this);
        radio->setObjectName(QString::fromLatin1(button.name));
        units.place(radio, button.x, 75, 65, controlHeight);
        radio->installEventFilter(this);
        runModeGroup_->addButton(radio, static_cast<int>(button.mode));
    }
}

void MainDialog::buildResultFields()
{
    const DialogUnits units(font());
    for (const ResultPlacement& placement : resultPlacements) {
        // The captions are string literals, so their views end in a NUL.
        makeLabel(this, units, drennix::resultCaption(placement.field).data(), placement.labelX, placement.labelY,
                  placement.labelWidth);
        auto* value = new ValueField(this);
        value->setObjectName(QStringLiteral("result%1").arg(static_cast<int>(placement.field)));
        units.place(value, placement.valueX, placement.valueY, resultValueWidth, controlHeight);
        resultFields_[static_cast<std::size_t>(placement.field)] = value;
    }
    // One row below the results, in the column of 時間.
    // The caption is a string literal, so its view ends in a NUL.
    makeLabel(this, units, drennix::messages::estimateCaption.data(), 280, 165, 45);
    estimateField_ = new ValueField(this);
    estimateField_->setObjectName(QStringLiteral("estimate"));
    units.place(estimateField_, 325, 165, resultValueWidth, controlHeight);
    // The notes of a dialect (the unit of the figures, rotary words left
    // out), on the same row to the left; empty with the default settings.
    notesLabel_ = new QLabel(this);
    notesLabel_->setObjectName(QStringLiteral("resultNotes"));
    units.place(notesLabel_, 5, 165, 270, controlHeight);
}

void MainDialog::setDefaultInputs()
{
    inputs_ = drennix::RunOptions{};
    suffixEdit_->setText(QString::fromStdString(inputs_.suffix));
    toleranceEdit_->setText(formatNumber(inputs_.tolerance));
    initialXEdit_->setText(formatNumber(inputs_.initialX));
    initialYEdit_->setText(formatNumber(inputs_.initialY));
    initialZEdit_->setText(formatNumber(inputs_.initialZ));
    runModeGroup_->button(static_cast<int>(inputs_.runMode))->setChecked(true);
}

QString MainDialog::sourcePath() const
{
    return sourceField_->text();
}

void MainDialog::setSourcePath(const QString& path)
{
    sourceField_->setText(path);
}

void MainDialog::setSourceFileChooser(SourceFileChooser chooser)
{
    chooseSourceFile_ = std::move(chooser);
}

AbsoluteDisplayDialog* MainDialog::latestAbsoluteDisplay() const
{
    return latestAbsolute_.data();
}

HelpWindow* MainDialog::helpWindow() const
{
    return help_.data();
}

ToolpathWindow* MainDialog::toolpathWindow() const
{
    return toolpath_.data();
}

ToolTableDialog* MainDialog::toolTableWindow() const
{
    return tools_.data();
}

QString MainDialog::resultText(ResultField field) const
{
    return resultField(field)->text();
}

ValueField* MainDialog::resultField(ResultField field) const
{
    return resultFields_[static_cast<std::size_t>(field)];
}

bool MainDialog::refuseEntry(QLineEdit* edit, const char* message)
{
    presenter_.showMessage(this, text(message), drennix::MessageKind::Warning);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

bool MainDialog::storeInputs()
{
    inputs_.suffix = toBytes(suffixEdit_->text());
    const struct {
        QLineEdit* edit;
        double* value;
        const char* message;
    } positions[] = {
        {initialXEdit_, &inputs_.initialX, texts::initialXNotNumber},
        {initialYEdit_, &inputs_.initialY, texts::initialYNotNumber},
        {initialZEdit_, &inputs_.initialZ, texts::initialZNotNumber},
    };
    for (const auto& position : positions) {
        const std::optional<double> value = parseNumber(position.edit->text());
        if (!value) return refuseEntry(position.edit, position.message);
        *position.value = *value;
    }
    inputs_.runMode = static_cast<drennix::RunMode>(runModeGroup_->checkedId());
    const std::optional<double> tolerance = parseNumber(toleranceEdit_->text());
    if (!tolerance) return refuseEntry(toleranceEdit_, texts::toleranceNotNumber);
    if (*tolerance < 0.0 || *tolerance > 1.0) return refuseEntry(toleranceEdit_, texts::toleranceOutsideRange);
    inputs_.tolerance = *tolerance;
    return true;
}

void MainDialog::execute()
{
    if (running_ || !storeInputs()) return;
    saveKeptState();
    inputs_.sourcePath = toBytes(sourcePath());
    inputs_.estimate = settings_.estimate;
    running_ = true;
    lastCreatedOutput_.clear();
    runList_ = nullptr;
    forgetLastToolpath();
    forgetLastTools();
    bridge_.prepareRun();
    bridge_.setToolTableForm(settings_.process.decimalPlaces, inputs_.estimate);
    inputGuard_->engage();
    // The run gets its own copies: the window may change nothing it reads.
    worker_ = std::thread([this, options = inputs_, settings = settings_] {
        try {
            // The moves are recorded here, on the run's thread, and the
            // record handed over whole once the run has ended.
            drennix::toolpath::ToolpathRecorder recorder(settings, options);
            bridge_.recordMovesWith(&recorder);
            const drennix::RunResult result = drennix::RunDriver(settings).execute(options, bridge_);
            bridge_.recordMovesWith(nullptr);
            // A window that has gone wants no record: the check of a
            // conversion is left unfinished rather than waited for.
            if (result.finished() && !bridge_.isDetached()) bridge_.deliverToolpath(recorder.finish(result));
        } catch (const std::exception&) {
            bridge_.recordMovesWith(nullptr);
            bridge_.message(texts::runFailedUnexpectedly, drennix::MessageKind::Warning);
        }
        bridge_.finishRun();
    });
}

void MainDialog::accept()
{
    execute();
}

// A run's record goes when the next run starts: the ﾂｰﾙﾊﾟｽ button waits for
// the new one, and a toolpath window that follows the runs is emptied, so
// that a run that is rejected or stopped leaves no path of another program.
void MainDialog::forgetLastToolpath()
{
    lastToolpath_.reset();
    lastToolpathSource_.clear();
    toolpathButton_->setEnabled(false);
    if (toolpath_ != nullptr) toolpath_->showRun(nullptr, QString(), nullptr);
}

// The figures per tool go with the toolpath: an open tools window is
// emptied until the new run tells its own.
void MainDialog::forgetLastTools()
{
    lastTools_.reset();
    toolTableButton_->setEnabled(false);
    if (tools_ != nullptr) {
        tools_->showTools(nullptr);
        tools_->setToolpathAvailable(false);
    }
}

// A mode's mnemonic chooses the mode at once, where the button would show
// itself pressed for a tenth of a second first: Enter pressed right after it
// runs the mode chosen, not the one before.
bool MainDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        auto* radio = qobject_cast<QAbstractButton*>(watched);
        if (radio != nullptr && radio->group() == runModeGroup_ &&
            !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
            radio->setFocus(Qt::ShortcutFocusReason);
            radio->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainDialog::browse()
{
    const std::optional<QString> chosen = chooseSourceFile_(this, lastFolder_);
    // A cancelled choice forgets the file chosen before.
    setSourcePath(chosen.value_or(QString()));
    if (chosen) rememberFolderOf(*chosen);
}

void MainDialog::rememberFolderOf(const QString& path)
{
    lastFolder_ = QFileInfo(path).absolutePath();
}

void MainDialog::openSettings()
{
    if (running_ || !storeInputs()) return;
    SettingsDialog dialog(settings_, presenter_);
    connect(&dialog, &SettingsDialog::helpRequested, this, [this] { showHelp(QStringLiteral("settings")); });
    // A window shown again is placed anew by the window manager; it goes back
    // to where it stood.
    const QPoint place = pos();
    hide();
    // Not application-modal: the help and the list windows stay usable while
    // the main window is hidden. The dialog ends only with valid settings.
    QEventLoop loop;
    connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    loop.exec();
    move(place);
    showNormal();
    raise();
    activateWindow();
    saveKeptState();
}

void MainDialog::showHelp(const QString& anchor)
{
    if (help_ == nullptr) help_ = new HelpWindow(this);
    help_->showTopic(anchor);
}

void MainDialog::showLastToolpath()
{
    if (lastToolpath_ == nullptr) return;
    openToolpath(lastToolpath_, lastToolpathSource_, runList_);
}

void MainDialog::showToolTable()
{
    if (lastTools_ == nullptr) return;
    if (tools_ == nullptr) {
        tools_ = new ToolTableDialog(presenter_, this);
        tools_->setWindowIcon(windowIcon());
        connect(tools_, &ToolTableDialog::helpRequested, this, [this] { showHelp(QStringLiteral("tools")); });
        connect(tools_, &ToolTableDialog::toolpathRequested, this, &MainDialog::showSelectedToolMoves);
        placer_->place(tools_, WindowPlacer::Kind::Tools);
        tools_->showTools(lastTools_);
        tools_->setToolpathAvailable(lastToolpath_ != nullptr);
    }
    tools_->show();
    tools_->raise();
    tools_->activateWindow();
}

// A toolpath window that shows the run already keeps its view; the
// highlight is drawn on the renderer's thread as any other.
void MainDialog::showSelectedToolMoves()
{
    if (tools_ == nullptr || lastToolpath_ == nullptr) return;
    if (toolpath_ != nullptr && toolpath_->isVisible() && toolpath_->canvas()->run() == lastToolpath_.get()) {
        toolpath_->raise();
        toolpath_->activateWindow();
    } else {
        openToolpath(lastToolpath_, lastToolpathSource_, runList_);
    }
    toolpath_->highlightMoves(tools_->selectedMoves());
}

void MainDialog::openToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run, const QString& sourcePath,
                              AbsoluteDisplayDialog* list)
{
    if (toolpath_ == nullptr) {
        toolpath_ = new ToolpathWindow(this);
        toolpath_->setWindowIcon(windowIcon());
        placer_->place(toolpath_, WindowPlacer::Kind::Toolpath);
    }
    toolpath_->showRun(std::move(run), sourcePath, list);
    toolpath_->show();
    toolpath_->raise();
    toolpath_->activateWindow();
}

void MainDialog::reject()
{
    if (running_) return;
    if (!presenter_.confirm(this, text(texts::exitQuestion))) return;
    saveKeptState();
    closeOwnedWindows();
    QDialog::reject();
}

// The list and help windows go with the main window.
void MainDialog::closeOwnedWindows()
{
    for (AbsoluteDisplayDialog* window : findChildren<AbsoluteDisplayDialog*>(Qt::FindDirectChildrenOnly))
        delete window;
    delete toolpath_;
    delete tools_;
    if (help_ != nullptr) help_->close();
}

drennix::settings_file::KeptState MainDialog::keptState() const
{
    drennix::settings_file::KeptState state;
    state.settings = settings_;
    drennix::settings_file::MainInputs& main = state.main;
    main.suffix = suffixEdit_->text().toStdString();
    const std::optional<double> tolerance = parseNumber(toleranceEdit_->text());
    main.tolerance = tolerance && *tolerance >= 0.0 && *tolerance <= 1.0 ? *tolerance : inputs_.tolerance;
    main.initialX = numberOr(initialXEdit_, inputs_.initialX);
    main.initialY = numberOr(initialYEdit_, inputs_.initialY);
    main.initialZ = numberOr(initialZEdit_, inputs_.initialZ);
    main.runMode = static_cast<drennix::RunMode>(runModeGroup_->checkedId());
    main.lastFolder = lastFolder_.toStdString();
    return state;
}

void MainDialog::restore(const drennix::settings_file::KeptState& state)
{
    settings_ = state.settings;
    const drennix::settings_file::MainInputs& main = state.main;
    inputs_.suffix = toBytes(QString::fromStdString(main.suffix));
    inputs_.tolerance = main.tolerance;
    inputs_.initialX = main.initialX;
    inputs_.initialY = main.initialY;
    inputs_.initialZ = main.initialZ;
    inputs_.runMode = main.runMode;
    suffixEdit_->setText(QString::fromStdString(main.suffix));
    toleranceEdit_->setText(formatNumber(main.tolerance));
    initialXEdit_->setText(formatNumber(main.initialX));
    initialYEdit_->setText(formatNumber(main.initialY));
    initialZEdit_->setText(formatNumber(main.initialZ));
    if (QAbstractButton* button = runModeGroup_->button(static_cast<int>(main.runMode))) button->setChecked(true);
    lastFolder_ = QString::fromStdString(main.lastFolder);
}

void MainDialog::keepStateIn(SettingsStore& store)
{
    store_ = &store;
    drennix::settings_file::KeptState state;
    switch (store.load(state)) {
    case SettingsStore::LoadStatus::Loaded: restore(state); break;
    case SettingsStore::LoadStatus::Absent: break;
    case SettingsStore::LoadStatus::Unreadable:
        restore(drennix::settings_file::KeptState{});
        presenter_.showMessage(this, text(texts::settingsFileUnreadable), drennix::MessageKind::Warning);
        break;
    }
}

void MainDialog::saveKeptState() const
{
    if (store_ != nullptr) store_->save(keptState());
}

void MainDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!absoluteDisplayPrepared_) {
        absoluteDisplayPrepared_ = true;
        QTimer::singleShot(0, this, &MainDialog::prepareAbsoluteDisplay);
    }
}

// The first absolute display window of a session would load its fonts and
// lay out its header and list as its run ends. One drawn off the screen
// while the dialog waits for input leaves them ready.
void MainDialog::prepareAbsoluteDisplay()
{
    AbsoluteDisplayDialog window(settings_, presenter_, this);
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    window.render(&image);
}

// The close box during a run ends the program without the question: the run
// is stopped and left at once. While the run shows a message, the box holds
// the window as any modal box does.
void MainDialog::closeEvent(QCloseEvent* event)
{
    if (running_) {
        event->ignore();
        if (messageDepth_ > 0) return;
        abandonRun();
        saveKeptState();
        closeOwnedWindows();
        QDialog::reject();
        return;
    }
    QDialog::closeEvent(event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!running_ && mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().constFirst().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainDialog::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (running_ || !mime->hasUrls() || mime->urls().isEmpty() || !mime->urls().constFirst().isLocalFile()) return;
    QStringList paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) paths.append(url.toLocalFile());
    }
    openGiven(paths);
    event->acceptProposedAction();
}

void MainDialog::openGiven(const QStringList& paths)
{
    if (paths.isEmpty()) return;
    if (paths.size() == 1 && !QFileInfo(paths.constFirst()).isDir()) {
        setSourcePath(paths.constFirst());
        rememberFolderOf(sourcePath());
        return;
    }
    openSummary(paths);
}

SummaryDialog* MainDialog::openSummary(const QStringList& sources)
{
    if (running_ || !storeInputs()) return nullptr;
    drennix::cli::CliRequest request;
    request.settings = settings_;
    request.run = inputs_;
    request.run.estimate = settings_.estimate;
    auto* summary = new SummaryDialog(request, sources, this);
    connect(summary, &SummaryDialog::programChosen, this, [this](const QString& path) {
        if (running_) return;
        setSourcePath(path);
        execute();
    });
    summary->show();
    return summary;
}

void MainDialog::clearResults()
{
    for (const ResultField field : clearingOrder)
        resultField(field)->setText(QString());
    estimateField_->setText(QString());
    notesLabel_->clear();
}

void MainDialog::showEstimate(const drennix::Estimate& estimate)
{
    estimateField_->setText(QString::fromStdString(drennix::formatClock(estimate.seconds)));
}

void MainDialog::showResults(const drennix::ResultTexts& results)
{
    for (int index = 0; index < drennix::resultFieldCount; ++index) {
        const auto field = static_cast<ResultField>(index);
        resultField(field)->setText(QString::fromStdString(results[field]));
    }
    QStringList notes;
    for (const std::string& note : results.notes)
        notes.append(QString::fromStdString(note));
    notesLabel_->setText(notes.join(QStringLiteral("　")));
}

void MainDialog::showLineCount(long long count)
{
    resultField(ResultField::LineCount)->setText(QString::number(count));
}

void MainDialog::showMessage(const QString& message, drennix::MessageKind kind)
{
    ++messageDepth_;
    presenter_.showMessage(this, message, kind);
    --messageDepth_;
}

void MainDialog::beginWait()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++waitDepth_;
}

void MainDialog::endWait()
{
    if (waitDepth_ == 0) return;
    QApplication::restoreOverrideCursor();
    --waitDepth_;
}

void MainDialog::openAbsoluteDisplay()
{
    auto* window = new AbsoluteDisplayDialog(settings_, presenter_, this);
    window->setWindowIcon(windowIcon());
    connect(window, &AbsoluteDisplayDialog::helpRequested, this, [this] { showHelp(QStringLiteral("absolute")); });
    connect(window, &AbsoluteDisplayDialog::toolpathRequested, this,
            [this, window] { openToolpath(window->toolpath(), window->sourcePath(), window); });
    placer_->place(window, WindowPlacer::Kind::List);
    latestAbsolute_ = window;
    runList_ = window;
}

void MainDialog::addStartRow(const drennix::AbsoluteRow& row)
{
    if (latestAbsolute_ != nullptr) latestAbsolute_->addStartRow(row);
}

void MainDialog::addBlockRows(std::vector<NumberedRow> rows)
{
    if (latestAbsolute_ == nullptr) return;
    std::vector<drennix::AbsoluteRow> cells;
    cells.reserve(rows.size());
    for (NumberedRow& row : rows)
        cells.push_back(std::move(row.row));
    latestAbsolute_->addBlockRows(std::move(cells));
}

// An open toolpath window follows the run and comes in front of the list once
// the run has ended: the list does not take the focus on its way, which would
// bring it back in front after that.
void MainDialog::showAbsoluteDisplay()
{
    if (latestAbsolute_ == nullptr) return;
    const bool toolpathFollows = toolpath_ != nullptr && toolpath_->isVisible();
    latestAbsolute_->setAttribute(Qt::WA_ShowWithoutActivating, toolpathFollows);
    latestAbsolute_->show();
    latestAbsolute_->raise();
    if (!toolpathFollows) latestAbsolute_->activateWindow();
}

// A stopped run's list is never shown.
void MainDialog::discardAbsoluteDisplay()
{
    if (latestAbsolute_ != nullptr) latestAbsolute_->deleteLater();
    latestAbsolute_ = nullptr;
    runList_ = nullptr;
}

void MainDialog::outputCreated(const QString& path)
{
    lastCreatedOutput_ = path;
}

// The tools window follows the runs while it is open.
void MainDialog::showTools(std::shared_ptr<const ToolTable> tools)
{
    lastTools_ = std::move(tools);
    toolTableButton_->setEnabled(true);
    if (tools_ != nullptr) tools_->showTools(lastTools_);
}

void MainDialog::showToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run)
{
    lastToolpath_ = std::move(run);
    lastToolpathSource_ = sourcePath();
    toolpathButton_->setEnabled(true);
    if (runList_ != nullptr) runList_->setToolpath(lastToolpath_, lastToolpathSource_);
    if (tools_ != nullptr) tools_->setToolpathAvailable(lastTools_ != nullptr);
    // An open toolpath window follows the runs.
    if (toolpath_ != nullptr && toolpath_->isVisible()) showLastToolpath();
}

void MainDialog::runEnded()
{
    if (worker_.joinable()) worker_.join();
    while (waitDepth_ > 0)
        endWait();
    inputGuard_->release();
    running_ = false;
    emit runFinished();
}
