#include "toolpath_window.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "absolute_display_dialog.h"
#include "absolute_row_model.h"
#include "dialog_units.h"
#include "messages.h"
#include "number_format.h"
#include "palette.h"
#include "toolpath_canvas.h"
#include "ui_texts.h"

namespace {

using drennix::toolpath::MoveRange;
using drennix::toolpath::ToolpathRun;
using drennix::toolpath::ViewDirection;
using texts::text;

struct ViewButton {
    ViewDirection view;
    const char* caption;
    const char* name;
};

constexpr ViewButton viewButtons[] = {
    {ViewDirection::XY, texts::viewXY, "viewXY"},
    {ViewDirection::XZ, texts::viewXZ, "viewXZ"},
    {ViewDirection::YZ, texts::viewYZ, "viewYZ"},
    {ViewDirection::Isometric, texts::viewIsometric, "viewIsometric"},
};

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The bands in the colours of the banded strokes, each with its caption;
// `colours` picks each band's colour.
template <std::size_t Bands>
QString legendText(const char* title, const char* const (&bands)[Bands], const int (&colours)[Bands])
{
    QString legend = text(title);
    for (std::size_t band = 0; band < Bands; ++band) {
        const drennix::toolpath::Colour colour = drennix::toolpath::deviationColours[colours[band]];
        legend += QStringLiteral(" <span style=\"color:%1\">■</span>%2")
                      .arg(QColor(colour.red, colour.green, colour.blue).name(), text(bands[band]));
    }
    return legend;
}

// Each band of speed in the colour of its place.
constexpr int speedColours[] = {0, 1, 2, 3};

QString summaryText(const drennix::VerificationResult& result, int decimals)
{
    switch (result.status) {
    case drennix::VerificationStatus::OutputUnreadable: return text(texts::verificationUnreadable);
    case drennix::VerificationStatus::OutputMismatch: return text(texts::verificationMismatch).arg(result.outputLine);
    case drennix::VerificationStatus::Checked: break;
    }
    const auto& captions = drennix::messages::verificationCaptions;
    const drennix::VerificationSummary& summary = result.summary;
    const std::string values[] = {drennix::formatInteger(summary.arcs), drennix::formatInteger(summary.lines),
                                  drennix::formatFixed(summary.maxDeviation, decimals),
                                  drennix::formatInteger(summary.maxDeviationLine),
                                  drennix::formatFixed(summary.maxEndError, decimals)};
    QStringList parts;
    for (std::size_t i = 0; i < captions.size(); ++i)
        parts.append(fromUtf8(captions[i]) + QString::fromStdString(values[i]));
    return parts.join(QStringLiteral("  "));
}

}  // namespace

ToolpathWindow::ToolpathWindow(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint),
      canvas_(new ToolpathCanvas(this)),
      status_(new QLabel(this))
{
    setObjectName(QStringLiteral("toolpathWindow"));
    setWindowTitle(text(texts::toolpathTitle));
    setFont(dialogFont());
    status_->setObjectName(QStringLiteral("toolpathStatus"));
    status_->setText(text(texts::clickHint));
    status_->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildViewButtons());
    layout->addWidget(buildConversionBar());
    layout->addWidget(buildSpeedBar());
    layout->addWidget(canvas_, 1);
    layout->addWidget(status_);
    connect(canvas_, &ToolpathCanvas::moveClicked, this, &ToolpathWindow::showClickedMove);
    resize(800, 640);
}

QWidget* ToolpathWindow::buildViewButtons()
{
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(this);
    viewGroup_ = group;
    for (const ViewButton& entry : viewButtons) {
        auto* button = new QPushButton(text(entry.caption), bar);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setCheckable(true);
        button->setAutoDefault(false);
        group->addButton(button, static_cast<int>(entry.view));
        row->addWidget(button);
    }
    group->button(static_cast<int>(ViewDirection::XY))->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { canvas_->setView(static_cast<ViewDirection>(id)); });
    auto* fit = new QPushButton(text(texts::fitAllButton), bar);
    fit->setObjectName(QStringLiteral("fitAllButton"));
    fit->setAutoDefault(false);
    connect(fit, &QPushButton::clicked, canvas_, &ToolpathCanvas::fitAll);
    row->addSpacing(12);
    row->addWidget(fit);
    row->addStretch(1);
    return bar;
}

QWidget* ToolpathWindow::buildConversionBar()
{
    conversionBar_ = new QWidget(this);
    auto* row = new QHBoxLayout(conversionBar_);
    row->setContentsMargins(0, 0, 0, 0);
    showWritten_ = new QCheckBox(text(texts::showWrittenBox), conversionBar_);
    showWritten_->setObjectName(QStringLiteral("showWrittenBox"));
    showWritten_->setChecked(true);
    connect(showWritten_, &QCheckBox::toggled, canvas_, &ToolpathCanvas::setShowWritten);
    auto* legend = new QLabel(legendText(texts::legendTitle, texts::legendBands, drennix::toolpath::deviationColourOf),
                              conversionBar_);
    legend->setTextFormat(Qt::RichText);
    verification_ = new QLabel(conversionBar_);
    verification_->setObjectName(QStringLiteral("verificationSummary"));
    verification_->setTextFormat(Qt::PlainText);
    auto* column = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    top->addWidget(showWritten_);
    top->addWidget(legend);
    top->addStretch(1);
    column->addLayout(top);
    column->addWidget(verification_);
    row->addLayout(column);
    conversionBar_->hide();
    return conversionBar_;
}

QWidget* ToolpathWindow::buildSpeedBar()
{
    speedBar_ = new QWidget(this);
    auto* row = new QHBoxLayout(speedBar_);
    row->setContentsMargins(0, 0, 0, 0);
    showSpeeds_ = new QCheckBox(text(texts::showSpeedsBox), speedBar_);
    showSpeeds_->setObjectName(QStringLiteral("showSpeedsBox"));
    connect(showSpeeds_, &QCheckBox::toggled, canvas_, &ToolpathCanvas::setShowSpeeds);
    auto* legend = new QLabel(legendText(texts::speedLegendTitle, texts::speedLegendBands, speedColours), speedBar_);
    legend->setTextFormat(Qt::RichText);
    row->addWidget(showSpeeds_);
    row->addWidget(legend);
    row->addStretch(1);
    speedBar_->hide();
    return speedBar_;
}

void ToolpathWindow::showRun(std::shared_ptr<const ToolpathRun> run, const QString& sourcePath,
                             AbsoluteDisplayDialog* list)
{
    canvas_->setSourcePath(sourcePath);
    canvas_->setRun(std::move(run));
    status_->setText(text(texts::clickHint));
    showConversion();
    linkList(list);
}

void ToolpathWindow::showConversion()
{
    const ToolpathRun* run = canvas_->run();
    const bool converted = run != nullptr && run->verification.has_value();
    conversionBar_->setVisible(converted);
    canvas_->setShowWritten(converted && showWritten_->isChecked());
    const bool estimated = run != nullptr && run->speeds.has_value();
    speedBar_->setVisible(estimated);
    canvas_->setShowSpeeds(estimated && showSpeeds_->isChecked());
    verification_->setText(converted ? summaryText(*run->verification, run->decimals) : QString());
}

void ToolpathWindow::linkList(AbsoluteDisplayDialog* list)
{
    disconnect(selectionLink_);
    list_ = list;
    if (list == nullptr) return;
    selectionLink_ = connect(list->list()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                             &ToolpathWindow::highlightSelectedRows);
    highlightSelectedRows();
}

// Row n of the list is line n (row 0 is the start position): the moves of
// the selected lines, in runs of consecutive moves.
void ToolpathWindow::highlightSelectedRows()
{
    const ToolpathRun* run = canvas_->run();
    if (list_ == nullptr || run == nullptr) return;
    std::vector<int> rows;
    for (const QModelIndex& index : list_->list()->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<MoveRange> ranges;
    for (const int row : rows) {
        const MoveRange range{run->moves.firstMoveFrom(row), run->moves.firstMoveFrom(row + 1LL)};
        if (range.first == range.last || row == 0) continue;
        if (!ranges.empty() && ranges.back().last == range.first) {
            ranges.back().last = range.last;
        } else {
            ranges.push_back(range);
        }
    }
    canvas_->setHighlighted(std::move(ranges));
}

void ToolpathWindow::highlightMoves(std::vector<MoveRange> ranges)
{
    canvas_->setHighlighted(std::move(ranges));
}

void ToolpathWindow::showClickedMove(qulonglong index, const QString& lineText)
{
    const ToolpathRun* run = canvas_->run();
    if (run == nullptr || index >= run->moves.moveCount()) return;
    const long long line = run->moves.lineOf(index);
    status_->setText(text(texts::clickedLine).arg(line).arg(sourceLineText(line, lineText)));
    if (list_ != nullptr && line < list_->model()->rowCount()) {
        QTableView* view = list_->list();
        view->selectRow(static_cast<int>(line));
        view->scrollTo(list_->model()->index(static_cast<int>(line), 0));
    } else {
        canvas_->setHighlighted({MoveRange{run->moves.firstMoveFrom(line), run->moves.firstMoveFrom(line + 1)}});
    }
}

// The list's text of the line where it lists the line, else the text the
// picker read from the source file.
QString ToolpathWindow::sourceLineText(long long line, const QString& readText) const
{
    if (list_ != nullptr && line < list_->model()->rowCount()) {
        return list_->model()->cellText(static_cast<int>(line), AbsoluteRowModel::sourceLineColumn);
    }
    return readText;
}

// The digits 1 to 4 choose the views as their captions show, also without
// Alt; a key a focused control uses itself (none here takes digits) never
// gets here.
void ToolpathWindow::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int index = event->key() - Qt::Key_1;
    if (modifiers == Qt::NoModifier && index >= 0 && index < static_cast<int>(std::size(viewButtons))) {
        viewGroup_->button(static_cast<int>(viewButtons[index].view))->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString ToolpathWindow::statusText() const
{
    return status_->text();
}

QString ToolpathWindow::verificationText() const
{
    return verification_->text();
}

void ToolpathWindow::done(int result)
{
    QDialog::done(result);
    deleteLater();
}
