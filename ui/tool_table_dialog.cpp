#include "tool_table_dialog.h"

#include <algorithm>
#include <utility>

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "clipboard_text.h"
#include "dialog_units.h"
#include "list_window_keys.h"
#include "message_presenter.h"
#include "tool_row_model.h"
#include "ui_texts.h"

namespace {

// Every column in sight, and room for a dozen rows.
constexpr QSize windowSize(800, 300);

}  // namespace

// A dialog for the window system, so that it belongs to the main window and
// stays in front of it, with the buttons of an ordinary window.
ToolTableDialog::ToolTableDialog(MessagePresenter& presenter, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint),
      presenter_(presenter),
      model_(new ToolRowModel(this)),
      list_(new QTableView(this)),
      toolpathButton_(new QPushButton(texts::text(texts::toolpathButton), this)),
      contextMenu_(new QMenu(this))
{
    setObjectName(QStringLiteral("toolTable"));
    setWindowTitle(texts::text(texts::toolTableTitle));
    setFont(dialogFont());
    setSizeGripEnabled(false);
    buildList();
    buildContextMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(list_, 1);
    // Below the list, so that it covers no row.
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 4);
    bar->addStretch(1);
    bar->addWidget(toolpathButton_);
    layout->addLayout(bar);
    toolpathButton_->setObjectName(QStringLiteral("toolpathButton"));
    toolpathButton_->setAutoDefault(false);
    toolpathButton_->setEnabled(false);
    connect(toolpathButton_, &QPushButton::clicked, this, &ToolTableDialog::toolpathRequested);
    resize(windowSize);
}

void ToolTableDialog::buildContextMenu()
{
    contextMenu_->setObjectName(QStringLiteral("listMenu"));
    QAction* copy = contextMenu_->addAction(texts::text(texts::copyMenuItem));
    QAction* help = contextMenu_->addAction(texts::text(texts::helpMenuItem));
    toolpathAction_ = contextMenu_->addAction(texts::text(texts::toolpathButton));
    toolpathAction_->setEnabled(false);
    connect(copy, &QAction::triggered, this, &ToolTableDialog::copySelectionToClipboard);
    connect(help, &QAction::triggered, this, &ToolTableDialog::helpRequested);
    connect(toolpathAction_, &QAction::triggered, this, &ToolTableDialog::toolpathRequested);
}

void ToolTableDialog::buildList()
{
    list_->setObjectName(QStringLiteral("toolList"));
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
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    list_->horizontalHeader()->setSectionsClickable(false);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setStretchLastSection(false);
    for (int column = 0; column < model_->columnCount(); ++column)
        list_->setColumnWidth(column, ToolRowModel::columnWidth(column));
    list_->installEventFilter(this);
    connect(list_, &QWidget::customContextMenuRequested, this, &ToolTableDialog::showContextMenu);
}

void ToolTableDialog::done(int result)
{
    QDialog::done(result);
    deleteLater();
}

void ToolTableDialog::showTools(std::shared_ptr<const ToolTable> tools)
{
    model_->setTools(std::move(tools));
}

void ToolTableDialog::setToolpathAvailable(bool available)
{
    toolpathButton_->setEnabled(available);
    toolpathAction_->setEnabled(available);
}

std::vector<int> ToolTableDialog::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<QStringList> ToolTableDialog::selectedRowTexts() const
{
    QList<QStringList> texts;
    for (const int row : selectedRows())
        texts.append(model_->rowTexts(row));
    return texts;
}

std::vector<drennix::toolpath::MoveRange> ToolTableDialog::selectedMoves() const
{
    return model_->movesOf(selectedRows());
}

void ToolTableDialog::copySelectionToClipboard()
{
    if (!list_->selectionModel()->hasSelection()) {
        presenter_.showMessage(this, texts::text(texts::noToolSelection), drennix::MessageKind::Warning);
        return;
    }
    QGuiApplication::clipboard()->setText(composeTabSeparatedText(selectedRowTexts()));
}

void ToolTableDialog::showContextMenu(const QPoint& position)
{
    contextMenu_->popup(list_->viewport()->mapToGlobal(position));
}

// The list would copy its current cell on Ctrl+C and act on Enter itself;
// the window's own meaning of these keys comes first.
bool ToolTableDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && keys_.take(event)) return true;
    return QDialog::eventFilter(watched, event);
}

void ToolTableDialog::keyPressEvent(QKeyEvent* event)
{
    if (keys_.take(event)) return;
    QDialog::keyPressEvent(event);
}
