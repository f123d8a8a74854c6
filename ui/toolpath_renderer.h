// Draws a run's toolpath into images on a thread of its own, so that the
// window never waits for a picture, whatever the size of the program: the
// window asks for the picture of a view and goes on showing the last one,
// moved and scaled, until the new one is there. A newer request gives up the
// one being drawn at its next group of moves; the thread lets go of a run as
// soon as the window does, and ends when the renderer is destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QImage>
#include <QObject>

#include "latest_job_thread.h"
#include "toolpath_painter.h"

struct ToolpathFrame {
    std::shared_ptr<const drennix::toolpath::ToolpathRun> run;
    drennix::toolpath::Projection projection;
    ToolpathPaintOptions options;
    // From 0 up: the projection is first fitted to everything drawn, with
    // this many pixels around it, on the drawing thread (the box of a big
    // run is made there on the first request; the window never waits).
    double fitMargin = -1;
};

class ToolpathRenderer : public QObject {
    Q_OBJECT

public:
    explicit ToolpathRenderer(QObject* parent = nullptr);

    // Asks for the picture of `frame`, giving up any asked for before. A
    // coarse frame's quick picture comes first, then its full one.
    void request(ToolpathFrame frame) { thread_.post(std::move(frame)); }
    // Gives up what is asked for or being drawn, and the run it draws.
    void cancel() { thread_.cancel(); }

signals:
    // The picture of the last request, on the interface thread, with the
    // projection it was drawn in (fitted where the request asked); `coarse`
    // for the quick one before the full one.
    void pictureReady(const QImage& picture, const drennix::toolpath::Projection& projection, bool coarse);

private:
    // The threads a picture is drawn by at once: this one's and a helper.
    static constexpr std::size_t drawingThreads = 2;

    void drawFrame(ToolpathFrame& frame, std::uint64_t request);
    // Draws `frame`; nothing when a newer request or the end came first.
    std::optional<QImage> draw(const ToolpathFrame& frame, std::uint64_t request) const;
    void deliver(QImage picture, const drennix::toolpath::Projection& projection, bool coarse, std::uint64_t request);

    // Last: it ends first, while the rest is still there.
    LatestJobThread<ToolpathFrame> thread_;
};
