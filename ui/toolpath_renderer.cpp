#include "toolpath_renderer.h"

#include <atomic>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <QPainter>

ToolpathRenderer::ToolpathRenderer(QObject* parent)
    : QObject(parent), thread_([this](ToolpathFrame& frame, std::uint64_t request) { drawFrame(frame, request); })
{}

void ToolpathRenderer::drawFrame(ToolpathFrame& frame, std::uint64_t request)
{
    if (frame.fitMargin >= 0 && frame.run) frame.projection.fit(frame.run->moves.bounds(), frame.fitMargin);
    if (frame.options.coarse) {
        if (std::optional<QImage> quick = draw(frame, request))
            deliver(std::move(*quick), frame.projection, true, request);
        frame.options.coarse = false;
    }
    std::optional<QImage> picture = draw(frame, request);
    // The run goes before the picture is handed on: a window that has let
    // go of it frees it now.
    frame.run.reset();
    if (picture) deliver(std::move(*picture), frame.projection, false, request);
}

std::optional<QImage> ToolpathRenderer::draw(const ToolpathFrame& frame, std::uint64_t request) const
{
    const drennix::toolpath::Projection& projection = frame.projection;
    const QSize size(static_cast<int>(projection.width()), static_cast<int>(projection.height()));
    QImage picture(size, QImage::Format_RGB32);
    if (!frame.run) {
        picture.fill(Qt::white);
        return picture;
    }
    const drennix::toolpath::ToolpathRun& run = *frame.run;
    const std::function<bool()> stopped = [this, request] { return thread_.superseded(request); };
    {
        QPainter painter(&picture);
        paintBackground(painter, run, projection);
    }
    // The parts are drawn by this thread and one more, each taking the next
    // part not taken: the first straight onto the picture, the others into
    // layers of their own, laid on it in their order.
    const std::vector<PicturePart> parts = pictureParts(run, frame.options, drawingThreads);
    std::vector<QImage> layers(parts.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> complete{true};
    const auto drawParts = [&] {
        for (std::size_t index = next++; index < parts.size() && complete; index = next++) {
            if (index > 0) layers[index] = emptyLayer(size);
            QPainter painter(index > 0 ? &layers[index] : &picture);
            if (!paintPart(painter, run, projection, frame.options, parts[index], stopped)) complete = false;
        }
    };
    std::thread helper;
    try {
        helper = std::thread(drawParts);
    } catch (const std::system_error&) {
        // No second thread to be had: this one draws every part.
    }
    drawParts();
    if (helper.joinable()) helper.join();
    if (!complete) return std::nullopt;
    for (std::size_t index = 1; index < layers.size(); ++index)
        mergeLayer(picture, layers[index]);
    layers.clear();
    QPainter painter(&picture);
    if (!paintOverlay(painter, run, projection, frame.options, stopped) || thread_.superseded(request))
        return std::nullopt;
    return picture;
}

void ToolpathRenderer::deliver(QImage picture, const drennix::toolpath::Projection& projection, bool coarse,
                               std::uint64_t request)
{
    // Queued to the interface thread; dropped there if the renderer is gone
    // or a newer request came meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this, picture = std::move(picture), projection, coarse, request] {
            if (!thread_.superseded(request)) emit pictureReady(picture, projection, coarse);
        },
        Qt::QueuedConnection);
}
