#include "toolpath_canvas.h"

#include <cmath>
#include <utility>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

using drennix::toolpath::Projection;

// Pixels around the toolpath when it is fitted.
constexpr double fitMargin = 24;
// A press that moves less than this is a click, not a drag.
constexpr int dragThreshold = 4;
// How far from a move a click still hits it, in pixels.
constexpr double clickReach = 6;

}  // namespace

ToolpathCanvas::ToolpathCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("toolpathCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
    projection_ = Projection(drennix::toolpath::ViewDirection::XY, width(), height());
}

void ToolpathCanvas::setRun(std::shared_ptr<const drennix::toolpath::ToolpathRun> run)
{
    run_ = std::move(run);
    options_.highlighted.clear();
    fitAll();
}

void ToolpathCanvas::setView(drennix::toolpath::ViewDirection view)
{
    projection_ = Projection(view, width(), height());
    fitAll();
}

void ToolpathCanvas::setHighlighted(std::vector<drennix::toolpath::MoveRange> ranges)
{
    options_.highlighted = std::move(ranges);
    update();
}

void ToolpathCanvas::setShowWritten(bool show)
{
    options_.showWritten = show;
    update();
}

QPointF ToolpathCanvas::screenPointOf(const drennix::toolpath::Vertex& point) const
{
    const drennix::toolpath::ScreenPoint p = projection_.toScreen(point);
    return {p.x, p.y};
}

void ToolpathCanvas::fitAll()
{
    projection_.resize(width(), height());
    if (run_) projection_.fit(run_->moves.bounds(), fitMargin);
    fitted_ = true;
    update();
}

void ToolpathCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!run_) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    paintToolpath(painter, *run_, projection_, options_);
}

void ToolpathCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (fitted_) {
        fitAll();
    } else {
        projection_.resize(width(), height());
    }
}

void ToolpathCanvas::wheelEvent(QWheelEvent* event)
{
    // One notch of the wheel (120) zooms by a fifth.
    const double factor = std::pow(1.2, event->angleDelta().y() / 120.0);
    const QPointF at = event->position();
    projection_.zoomAbout(factor, at.x(), at.y());
    fitted_ = false;
    update();
    event->accept();
}

void ToolpathCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressedAt_ = lastDrag_ = event->position().toPoint();
    dragging_ = false;
}

void ToolpathCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint at = event->position().toPoint();
    if (!dragging_ && (at - pressedAt_).manhattanLength() < dragThreshold) return;
    dragging_ = true;
    projection_.panBy(at.x() - lastDrag_.x(), at.y() - lastDrag_.y());
    lastDrag_ = at;
    fitted_ = false;
    update();
}

void ToolpathCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    if (!dragging_) pick(event->position());
    dragging_ = false;
}

void ToolpathCanvas::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Home) {
        fitAll();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ToolpathCanvas::pick(QPointF point)
{
    if (!run_) return;
    const std::size_t found =
        drennix::toolpath::nearestMove(run_->moves, projection_, {point.x(), point.y()}, clickReach);
    if (found < run_->moves.moveCount()) emit moveClicked(found);
}
