// The picture of the toolpath window: paints a run's toolpath, zooms with
// the wheel about the cursor, pans by dragging, fits everything on Home, and
// tells which move a click hit. The toolpath is drawn into an image on the
// renderer's thread; while the user zooms and pans, or a new picture is on
// its way, the last image is shown moved and scaled, so that the window
// follows the mouse whatever the size of the program.
#pragma once

#include <cstddef>
#include <memory>

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include "toolpath_painter.h"

class ToolpathPicker;
class ToolpathRenderer;

class ToolpathCanvas : public QWidget {
    Q_OBJECT

public:
    explicit ToolpathCanvas(QWidget* parent = nullptr);

    void setRun(std::shared_ptr<const drennix::toolpath::ToolpathRun> run);
    // The program's file, for the text of a clicked move's line.
    void setSourcePath(const QString& path) { sourcePath_ = path; }
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
    // Asks for the picture of the current view now (else asked for when the
    // view rests).
    void redrawNow();
    // Whether the view waits for the renderer to fit it to the run.
    bool fitPending() const { return fitPending_; }
    // Whether the picture shown is the one of the current view and options.
    bool pictureCurrent() const { return pictureCurrent_; }

public slots:
    void fitAll();

signals:
    // A click hit move `index` of the run, on the source line `lineText`
    // (read from the program's file where one was given).
    void moveClicked(qulonglong index, const QString& lineText);
    // The full picture of the current view is shown.
    void pictureShown();
    // A first quick picture of the current view is shown.
    void coarsePictureShown();

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
    void showPicture(const QImage& picture, const drennix::toolpath::Projection& projection, bool coarse);

    std::shared_ptr<const drennix::toolpath::ToolpathRun> run_;
    drennix::toolpath::Projection projection_;
    ToolpathPaintOptions options_;
    // Until the user zooms or pans, a resize fits the picture again.
    bool fitted_ = true;
    // The renderer fits the view to the run (it makes the run's box on its
    // own thread); until its picture comes, the view takes no zoom or pan.
    bool fitPending_ = false;
    ToolpathRenderer* renderer_;
    ToolpathPicker* picker_;
    QString sourcePath_;
    // The last picture drawn and the view it was drawn in (null before the first).
    QImage picture_;
    drennix::toolpath::Projection pictureProjection_;
    bool pictureCurrent_ = false;
    QTimer* restTimer_;
    QPoint pressedAt_;
    QPoint lastDrag_;
    bool dragging_ = false;
};
