// Draws a run's toolpath into images on a thread of its own, so that the
// window never waits for a picture, whatever the size of the program: the
// window asks for the picture of a view and goes on showing the last one,
// moved and scaled, until the new one is there. A newer request gives up the
// one being drawn at its next group of moves; the thread lets go of a run as
// soon as the window does, and ends when the renderer is destroyed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <QImage>
#include <QObject>

#include "toolpath_painter.h"

struct ToolpathFrame {
    std::shared_ptr<const drennix::toolpath::ToolpathRun> run;
    drennix::toolpath::Projection projection;
    ToolpathPaintOptions options;
};

class ToolpathRenderer : public QObject {
    Q_OBJECT

public:
    explicit ToolpathRenderer(QObject* parent = nullptr);
    ~ToolpathRenderer() override;

    // Asks for the picture of `frame`, giving up any asked for before. A
    // coarse frame's quick picture comes first, then its full one.
    void request(ToolpathFrame frame);
    // Gives up what is asked for or being drawn, and the run it draws.
    void cancel();

signals:
    // The picture of the last request, on the interface thread; `coarse`
    // for the quick one before the full one.
    void pictureReady(const QImage& picture, const drennix::toolpath::Projection& projection, bool coarse);

private:
    // The threads a picture is drawn by at once: this one's and a helper.
    static constexpr std::size_t drawingThreads = 2;

    void drawLoop();
    // Draws `frame`; nothing when a newer request or the end came first.
    std::optional<QImage> draw(const ToolpathFrame& frame, std::uint64_t request) const;
    void deliver(QImage picture, const drennix::toolpath::Projection& projection, bool coarse, std::uint64_t request);
    bool superseded(std::uint64_t request) const { return latest_.load(std::memory_order_relaxed) != request; }

    std::mutex mutex_;
    std::condition_variable wake_;
    // What to draw next, taken by the drawing thread.
    std::optional<ToolpathFrame> pending_;
    bool ending_ = false;
    // The number of the last request (0: none, or given up).
    std::atomic<std::uint64_t> latest_{0};
    std::uint64_t requests_ = 0;
    std::thread thread_;
};
