// The picture of the toolpath window: paints a run's toolpath, zooms with
// the wheel about the cursor, pans by dragging, fits everything on Home, and
// tells which move a click hit. The picture is drawn once into an image;
// while the user zooms and pans, that image is shown moved and scaled, and
// the toolpath is drawn anew once the view has rested for a moment, so that
// a program of millions of moves follows the mouse.
#pragma once

#include <cstddef>
#include <memory>

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include "toolpath_painter.h"

class ToolpathCanvas : public QWidget {
    Q_OBJECT

public:
    explicit ToolpathCanvas(QWidget* parent = nullptr);

    void setRun(std::shared_ptr<const drennix::toolpath::ToolpathRun> run);
    const drennix::toolpath::ToolpathRun* run() const { return run_.get(); }
    void setView(drennix::toolpath::ViewDirection view);
    void setHighlighted(std::vector<drennix::toolpath::MoveRange> ranges);
    const std::vector<drennix::toolpath::MoveRange>& highlighted() const { return options_.highlighted; }
    void setShowWritten(bool show);
    void setShowSpeeds(bool show);
    const ToolpathPaintOptions& paintOptions() const { return options_; }
    const drennix::toolpath::Projection& projection() const { return projection_; }
    // The screen point of a program point, for tests and tools.
    QPointF screenPointOf(const drennix::toolpath::Vertex& point) const;
    // What the wheel and a drag do, also for the benchmark.
    void zoomAbout(double factor, QPointF at);
    void panBy(QPointF delta);
    // Draws the toolpath now for the current view (else done when the view rests).
    void redrawNow();

public slots:
    void fitAll();

signals:
    // A click hit move `index` of the run.
    void moveClicked(qulonglong index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pick(QPointF point);
    void viewChanged();
    void invalidate();

    std::shared_ptr<const drennix::toolpath::ToolpathRun> run_;
    drennix::toolpath::Projection projection_;
    ToolpathPaintOptions options_;
    // Until the user zooms or pans, a resize fits the picture again.
    bool fitted_ = true;
    // The last full drawing and the view it was drawn in.
    QImage picture_;
    drennix::toolpath::Projection pictureProjection_;
    bool pictureCurrent_ = false;
    QTimer* restTimer_;
    QPoint pressedAt_;
    QPoint lastDrag_;
    bool dragging_ = false;
};
