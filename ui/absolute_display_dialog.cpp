#include "absolute_display_dialog.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "absolute_row_model.h"
#include "clipboard_text.h"
#include "dialog_units.h"
#include "list_window_keys.h"
#include "message_presenter.h"
#include "ui_texts.h"

namespace {

constexpr int windowWidth = 870;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// A dialog for the window system, so that it belongs to the main window and
// stays in front of it, with the buttons of an ordinary window.
AbsoluteDisplayDialog::AbsoluteDisplayDialog(const drennix::Settings& settings, MessagePresenter& presenter,
                                             QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint),
      settings_(settings),
      presenter_(presenter),
      model_(new AbsoluteRowModel(this)),
      list_(new QTableView(this)),
      toolpathBar_(new QWidget(this)),
      toolpathButton_(new QPushButton(texts::text(texts::toolpathButton), toolpathBar_)),
      contextMenu_(new QMenu(this))
{
    setObjectName(QStringLiteral("absoluteDisplay"));
    setWindowTitle(texts::text(texts::absoluteDisplayTitle));
    setFont(dialogFont());
    setSizeGripEnabled(false);
    buildList();
    buildContextMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(list_, 1);
    // The toolpath of the run, once it has ended: a button in a row below the
    // list, which keeps every row in sight; the row is there only with it.
    toolpathBar_->setObjectName(QStringLiteral("toolpathBar"));
    auto* bar = new QHBoxLayout(toolpathBar_);
    bar->setContentsMargins(4, 4, 4, 4);
    bar->addStretch(1);
    bar->addWidget(toolpathButton_);
    toolpathButton_->setObjectName(QStringLiteral("toolpathButton"));
    toolpathButton_->setAutoDefault(false);
    toolpathButton_->setEnabled(false);
    toolpathBar_->hide();
    layout->addWidget(toolpathBar_);
    connect(toolpathButton_, &QPushButton::clicked, this, &AbsoluteDisplayDialog::toolpathRequested);
    placeOnScreen();
}

void AbsoluteDisplayDialog::buildContextMenu()
{
    contextMenu_->setObjectName(QStringLiteral("listMenu"));
    copyAction_ = contextMenu_->addAction(texts::text(texts::copyMenuItem));
    helpAction_ = contextMenu_->addAction(texts::text(texts::helpMenuItem));
    toolpathAction_ = contextMenu_->addAction(texts::text(texts::toolpathButton));
    toolpathAction_->setEnabled(false);
    connect(copyAction_, &QAction::triggered, this, &AbsoluteDisplayDialog::copySelectionToClipboard);
    connect(helpAction_, &QAction::triggered, this, &AbsoluteDisplayDialog::helpRequested);
    connect(toolpathAction_, &QAction::triggered, this, &AbsoluteDisplayDialog::toolpathRequested);
}

void AbsoluteDisplayDialog::buildList()
{
    list_->setObjectName(QStringLiteral("absoluteList"));
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSortingEnabled(false);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->setTextElideMode(Qt::ElideRight);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->verticalHeader()->hide();
    // Fixed row heights keep a list of 100,000 rows quick to fill and scroll.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    list_->horizontalHeader()->setSectionsClickable(false);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < model_->columnCount(); ++column) {
        list_->setColumnWidth(column, AbsoluteRowModel::columnWidth(column));
    }
    list_->installEventFilter(this);
    connect(list_, &QWidget::customContextMenuRequested, this, &AbsoluteDisplayDialog::showContextMenu);
}

// Width 870; height half the available screen height; centred horizontally;
// the top at a quarter of the available height.
void AbsoluteDisplayDialog::placeOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(windowWidth, 400);
        return;
    }
    const QRect area = screen->availableGeometry();
    const int right = area.x() + area.width();
    const int bottom = area.y() + area.height();
    const int height = bottom / 2;
    resize(windowWidth, height);
    move((right - windowWidth) / 2, height / 2);
}

void AbsoluteDisplayDialog::done(int result)
{
    QDialog::done(result);
    deleteLater();
}

void AbsoluteDisplayDialog::setToolpath(std::shared_ptr<const drennix::toolpath::ToolpathRun> run,
                                        const QString& sourcePath)
{
    toolpath_ = std::move(run);
    sourcePath_ = sourcePath;
    toolpathButton_->setEnabled(toolpath_ != nullptr);
    toolpathBar_->setVisible(toolpath_ != nullptr);
    toolpathAction_->setEnabled(toolpath_ != nullptr);
}

void AbsoluteDisplayDialog::addStartRow(drennix::AbsoluteRow row)
{
    model_->appendRow(std::move(row));
}

void AbsoluteDisplayDialog::addBlockRows(std::vector<drennix::AbsoluteRow> rows)
{
    model_->appendRows(std::move(rows));
}

QList<QStringList> AbsoluteDisplayDialog::selectedRowTexts() const
{
    QList<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QList<QStringList> texts;
    texts.reserve(rows.size());
    for (const int row : rows)
        texts.append(model_->rowTexts(row));
    return texts;
}

void AbsoluteDisplayDialog::copySelectionToClipboard()
{
    if (!list_->selectionModel()->hasSelection()) {
        presenter_.showMessage(this, texts::text(texts::noSelection), drennix::MessageKind::Warning);
        return;
    }
    const WaitCursor wait;
    const QString text = composeClipboardText(selectedRowTexts(), settings_.process.copied());
    QGuiApplication::clipboard()->setText(text);
}

void AbsoluteDisplayDialog::showContextMenu(const QPoint& position)
{
    contextMenu_->popup(list_->viewport()->mapToGlobal(position));
}

// The list would copy its current cell on Ctrl+C and act on Enter itself;
// the window's own meaning of these keys comes first.
bool AbsoluteDisplayDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && keys_.take(event)) return true;
    return QDialog::eventFilter(watched, event);
}

void AbsoluteDisplayDialog::keyPressEvent(QKeyEvent* event)
{
    if (keys_.take(event)) return;
    QDialog::keyPressEvent(event);
}
