#include "toolpath_picker.h"

#include <functional>
#include <optional>

#include "source_line_text.h"

ToolpathPicker::ToolpathPicker(QObject* parent)
    : QObject(parent), thread_([this](PickRequest& request, std::uint64_t number) { find(request, number); })
{}

void ToolpathPicker::find(PickRequest& request, std::uint64_t number)
{
    const std::function<bool()> stopped = [this, number] { return thread_.superseded(number); };
    const drennix::toolpath::ToolpathStore& moves = request.run->moves;
    const std::size_t found =
        drennix::toolpath::nearestMove(moves, request.projection, request.point, request.reach, stopped);
    if (found >= moves.moveCount()) return;
    const long long line = moves.lineOf(found);
    request.run.reset();
    std::optional<QString> lineText =
        request.sourcePath.isEmpty() ? QString() : readSourceLine(request.sourcePath, line, stopped);
    if (!lineText) return;
    QMetaObject::invokeMethod(
        this,
        [this, found, number, text = std::move(*lineText)] {
            if (!thread_.superseded(number)) emit picked(found, text);
        },
        Qt::QueuedConnection);
}
