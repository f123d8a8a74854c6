#include "summary_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "batch.h"
#include "environment.h"
#include "summary_report.h"
#include "ui_texts.h"

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList cellTexts(const std::vector<std::string>& cells)
{
    QStringList texts;
    for (const std::string& cell : cells)
        texts.append(fromUtf8(cell));
    return texts;
}

}  // namespace

SummaryDialog::SummaryDialog(const drennix::cli::CliRequest& request, const QStringList& sources, QWidget* owner)
    : QDialog(owner), table_(new QTableWidget(this)), progress_(new QLabel(this))
{
    setObjectName(QStringLiteral("summaryDialog"));
    setWindowTitle(QString::fromUtf8(texts::summaryTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    const bool withEstimate = request.run.estimate;
    const QStringList titles = cellTexts(drennix::cli::summaryTitles(withEstimate));
    table_->setObjectName(QStringLiteral("summaryTable"));
    table_->setColumnCount(static_cast<int>(titles.size()));
    table_->setHorizontalHeaderLabels(titles);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progress_);
    layout->addWidget(table_);
    resize(900, 400);
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit programChosen(table_->item(row, 0)->data(Qt::UserRole).toString()); });

    drennix::cli::BatchOptions batch;
    for (const QString& source : sources)
        batch.sources.push_back(source.toStdString());
    batch.jobs = drennix::cli::processorCount();
    batch.extensions = drennix::cli::programExtensions(drennix::cli::defaultProgramExtensions);
    drennix::cli::CliRequest runs = request;
    runs.batch = std::move(batch);
    showProgress(0);
    // The folders are read on the runs' thread too: a large tree takes time.
    worker_ = std::thread([this, runs = std::move(runs), withEstimate] {
        const std::vector<std::string> programs = drennix::cli::collectPrograms(*runs.batch);
        QMetaObject::invokeMethod(
            this, [this, count = programs.size()] { setCount(count); }, Qt::QueuedConnection);
        drennix::cli::BatchListener listener;
        listener.ended = [&](std::size_t index, const drennix::cli::SummaryRow& row) {
            std::vector<std::string> cells = drennix::cli::summaryCells(row, withEstimate);
            QMetaObject::invokeMethod(
                this, [this, index, cells = std::move(cells)] { addRow(index, cells); }, Qt::QueuedConnection);
        };
        drennix::cli::runPrograms(runs, programs, stop_, listener);
        QMetaObject::invokeMethod(
            this, [this] { finishRuns(); }, Qt::QueuedConnection);
    });
}

SummaryDialog::~SummaryDialog()
{
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void SummaryDialog::addRow(std::size_t index, const std::vector<std::string>& cells)
{
    const bool sorting = table_->isSortingEnabled();
    table_->setSortingEnabled(false);
    const int row = table_->rowCount();
    table_->insertRow(row);
    for (std::size_t column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(fromUtf8(cells[column]));
        if (column == 0) item->setData(Qt::UserRole, fromUtf8(cells[0]));
        item->setData(Qt::UserRole + 1, static_cast<qulonglong>(index));
        table_->setItem(row, static_cast<int>(column), item);
    }
    table_->setSortingEnabled(sorting);
    showProgress(++ended_);
}

void SummaryDialog::setCount(std::size_t count)
{
    count_ = count;
    showProgress(ended_);
}

void SummaryDialog::showProgress(std::size_t done)
{
    progress_->setText(QString::fromUtf8(texts::summaryProgress).arg(done).arg(count_));
}

void SummaryDialog::finishRuns()
{
    if (worker_.joinable()) worker_.join();
    running_ = false;
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    emit runsEnded();
}

void SummaryDialog::stop()
{
    stop_ = true;
}

QString SummaryDialog::selectionText() const
{
    QStringList lines;
    QStringList titles;
    for (int column = 0; column < table_->columnCount(); ++column)
        titles.append(table_->horizontalHeaderItem(column)->text());
    lines.append(titles.join(QLatin1Char('\t')));
    const bool all = table_->selectionModel()->selectedRows().isEmpty();
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (!all && !table_->selectionModel()->isRowSelected(row)) continue;
        QStringList cells;
        for (int column = 0; column < table_->columnCount(); ++column)
            cells.append(table_->item(row, column) != nullptr ? table_->item(row, column)->text() : QString());
        lines.append(cells.join(QLatin1Char('\t')));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void SummaryDialog::copySelectionToClipboard()
{
    QApplication::clipboard()->setText(selectionText());
}

void SummaryDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelectionToClipboard();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && table_->currentRow() >= 0) {
        emit programChosen(table_->item(table_->currentRow(), 0)->data(Qt::UserRole).toString());
        return;
    }
    if (event->key() == Qt::Key_Escape && running_) {
        stop();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SummaryDialog::closeEvent(QCloseEvent* event)
{
    // The runs stop at their next poll; the window goes once they have.
    stop();
    QDialog::closeEvent(event);
}
