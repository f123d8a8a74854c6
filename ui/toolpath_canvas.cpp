#include "toolpath_canvas.h"

#include <cmath>
#include <utility>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "toolpath_picker.h"
#include "toolpath_renderer.h"
#include "ui_texts.h"

namespace {

using drennix::toolpath::Projection;

// Pixels around the toolpath when it is fitted.
constexpr double fitMargin = 24;
// A press that moves less than this is a click, not a drag.
constexpr int dragThreshold = 4;
// How far from a move a click still hits it, in pixels.
constexpr double clickReach = 6;
// How long the view must rest before its picture is asked for: the wheel's
// notches of one turn come as one.
constexpr int restMilliseconds = 40;

}  // namespace

ToolpathCanvas::ToolpathCanvas(QWidget* parent)
    : QWidget(parent),
      renderer_(new ToolpathRenderer(this)),
      picker_(new ToolpathPicker(this)),
      restTimer_(new QTimer(this))
{
    connect(picker_, &ToolpathPicker::picked, this, &ToolpathCanvas::moveClicked);
    connect(renderer_, &ToolpathRenderer::pictureReady, this, &ToolpathCanvas::showPicture);
    restTimer_->setSingleShot(true);
    restTimer_->setInterval(restMilliseconds);
    connect(restTimer_, &QTimer::timeout, this, &ToolpathCanvas::redrawNow);
    setObjectName(QStringLiteral("toolpathCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
    projection_ = Projection(drennix::toolpath::ViewDirection::XY, width(), height());
}

void ToolpathCanvas::setRun(std::shared_ptr<const drennix::toolpath::ToolpathRun> run)
{
    renderer_->cancel();
    picker_->cancel();
    run_ = std::move(run);
    picture_ = QImage();
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
    invalidate();
}

void ToolpathCanvas::setShowWritten(bool show)
{
    options_.showWritten = show;
    invalidate();
}

void ToolpathCanvas::setShowSpeeds(bool show)
{
    options_.showSpeeds = show;
    invalidate();
}

QPointF ToolpathCanvas::screenPointOf(const drennix::toolpath::Vertex& point) const
{
    const drennix::toolpath::ScreenPoint p = projection_.toScreen(point);
    return {p.x, p.y};
}

void ToolpathCanvas::fitAll()
{
    projection_.resize(width(), height());
    fitted_ = true;
    fitPending_ = run_ != nullptr;
    invalidate();
}

void ToolpathCanvas::invalidate()
{
    pictureCurrent_ = false;
    redrawNow();
    update();
}

// The view moved: the old picture stands in until the new one is drawn.
void ToolpathCanvas::viewChanged()
{
    fitted_ = false;
    pictureCurrent_ = false;
    restTimer_->start();
    update();
}

void ToolpathCanvas::zoomAbout(double factor, QPointF at)
{
    if (fitPending_) return;
    projection_.zoomAbout(factor, at.x(), at.y());
    viewChanged();
}

void ToolpathCanvas::panBy(QPointF delta)
{
    if (fitPending_) return;
    projection_.panBy(delta.x(), delta.y());
    viewChanged();
}

void ToolpathCanvas::redrawNow()
{
    restTimer_->stop();
    pictureCurrent_ = false;
    ToolpathPaintOptions options = options_;
    // Without a picture of this view to stand in, a quick one comes first.
    options.coarse = picture_.isNull() || pictureProjection_.view() != projection_.view();
    renderer_->request({run_, projection_, std::move(options), fitPending_ ? fitMargin : -1});
}

void ToolpathCanvas::showPicture(const QImage& picture, const drennix::toolpath::Projection& projection, bool coarse)
{
    // The picture of the last request: where it fitted the view, the view
    // is now the one it was drawn in.
    if (fitPending_) {
        projection_ = projection;
        fitPending_ = false;
    }
    picture_ = picture;
    pictureProjection_ = projection;
    pictureCurrent_ = !coarse && !restTimer_->isActive();
    update();
    if (coarse) emit coarsePictureShown();
    if (pictureCurrent_) emit pictureShown();
}

void ToolpathCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // A picture of another view cannot stand in for this one; until the
    // view is fitted, the last picture stands as it was drawn.
    if (picture_.isNull() || pictureProjection_.view() != projection_.view()) {
        painter.fillRect(rect(), Qt::white);
    } else if (pictureCurrent_ || fitPending_) {
        painter.drawImage(0, 0, picture_);
    } else {
        // The picture moved and scaled as the view has moved since it was
        // drawn: a program point p went from s0·p + t0 to s1·p + t1 on the
        // screen.
        const double factor = projection_.scale() / pictureProjection_.scale();
        const drennix::toolpath::ScreenPoint before = pictureProjection_.toScreen({});
        const drennix::toolpath::ScreenPoint after = projection_.toScreen({});
        const QPointF offset(after.x - factor * before.x, after.y - factor * before.y);
        painter.fillRect(rect(), Qt::white);
        // Only the part of the picture that lands on the widget is scaled,
        // however far the view has zoomed in since it was drawn.
        const QRectF source = QRectF(QPointF(-offset.x() / factor, -offset.y() / factor), QSizeF(size()) / factor)
                                  .intersected(QRectF(QPointF(0, 0), QSizeF(picture_.size())));
        if (!source.isEmpty()) {
            const QRectF target(source.topLeft() * factor + offset, source.size() * factor);
            painter.drawImage(target, picture_, source);
        }
    }
    if (!pictureCurrent_ && run_) {
        // The picture of this view is on its way.
        const QString note = texts::text(texts::drawingNote);
        painter.setPen(Qt::darkGray);
        painter.drawText(rect().adjusted(0, 0, -8, -6), Qt::AlignRight | Qt::AlignBottom, note);
    }
}

void ToolpathCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (fitted_) {
        fitAll();
    } else {
        projection_.resize(width(), height());
        invalidate();
    }
}

void ToolpathCanvas::wheelEvent(QWheelEvent* event)
{
    // One notch of the wheel (120) zooms by a fifth.
    const double factor = std::pow(1.2, event->angleDelta().y() / 120.0);
    zoomAbout(factor, event->position());
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
    panBy(at - lastDrag_);
    lastDrag_ = at;
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
    if (!run_ || fitPending_) return;
    // Looked for on the picker's thread; moveClicked comes when it is found.
    picker_->pick({run_, projection_, {point.x(), point.y()}, clickReach, sourcePath_});
}
