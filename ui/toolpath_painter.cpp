#include "toolpath_painter.h"

#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QVector>

#include "number_format.h"
#include "palette.h"
#include "picture_texts.h"
#include "svg_picture.h"

namespace {

using namespace drennix::toolpath;

QColor qColour(Colour colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

QPen dashedPen(Colour colour, const double (&dash)[2])
{
    QPen pen(qColour(colour), 1);
    pen.setDashPattern({dash[0], dash[1]});
    return pen;
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Strokes into polylines; `highlight` draws every style in the highlight colour.
class PainterStrokes final : public StrokeSink {
public:
    PainterStrokes(QPainter& painter, bool highlight) : painter_(painter), highlight_(highlight) {}

    void beginStroke(StrokeStyle style) override
    {
        style_ = style;
        points_.clear();
    }
    void addPoint(ScreenPoint p) override { points_.append(QPointF(p.x, p.y)); }
    void endStroke() override
    {
        painter_.setPen(penFor(style_));
        painter_.drawPolyline(points_);
    }

private:
    QPen penFor(StrokeStyle style) const
    {
        if (highlight_) {
            QPen pen(qColour(highlightColour), 3);
            if (style == StrokeStyle::Rapid) pen.setDashPattern({rapidDash[0] / 3, rapidDash[1] / 3});
            return pen;
        }
        switch (style) {
        case StrokeStyle::Rapid: return dashedPen(rapidColour, rapidDash);
        case StrokeStyle::Cutting: return QPen(qColour(cuttingColour), 1);
        case StrokeStyle::Deviation0:
        case StrokeStyle::Deviation1:
        case StrokeStyle::Deviation2:
        case StrokeStyle::Deviation3: break;
        }
        const int band = static_cast<int>(style) - static_cast<int>(StrokeStyle::Deviation0);
        return QPen(qColour(deviationColours[band]), 2);
    }

    QPainter& painter_;
    bool highlight_;
    StrokeStyle style_ = StrokeStyle::Cutting;
    QPolygonF points_;
};

QPointF toQt(ScreenPoint p)
{
    return {p.x, p.y};
}

void paintBox(QPainter& painter, const Box& box, const Projection& projection, int decimals)
{
    painter.setPen(dashedPen(boxColour, boxDash));
    for (const auto& edge : boxEdges) {
        painter.drawLine(toQt(projection.toScreen(boxCorner(box, edge[0]))),
                         toQt(projection.toScreen(boxCorner(box, edge[1]))));
    }
    const std::string sizes = std::string(texts::boxSizeTitle) + " " + std::string(texts::sizeX) +
                              drennix::formatFixed(box.size(0), decimals) + " " + std::string(texts::sizeY) +
                              drennix::formatFixed(box.size(1), decimals) + " " + std::string(texts::sizeZ) +
                              drennix::formatFixed(box.size(2), decimals);
    painter.setPen(qColour(textColour));
    painter.drawText(QPointF(8, 8 + painter.fontMetrics().ascent()), fromUtf8(sizes));
}

void paintStart(QPainter& painter, const Vertex& start, const Projection& projection)
{
    const QPointF p = toQt(projection.toScreen(start));
    painter.setPen(QPen(qColour(startColour), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(p, 5, 5);
    painter.drawText(p + QPointF(8, -8), fromUtf8(texts::startPoint));
}

void paintScaleBar(QPainter& painter, const Projection& projection, int decimals)
{
    const double length = roundScaleLength(projection.width() / 4 / projection.scale());
    const double x = 12;
    const double y = projection.height() - 12;
    painter.setPen(QPen(qColour(textColour), 2));
    painter.drawLine(QPointF(x, y), QPointF(x + length * projection.scale(), y));
    painter.drawText(QPointF(x, y - 6), QString::fromStdString(drennix::formatFixed(length, decimals)));
}

}  // namespace

void paintToolpath(QPainter& painter, const ToolpathRun& run, const Projection& projection,
                   const ToolpathPaintOptions& options)
{
    painter.fillRect(QRectF(0, 0, projection.width(), projection.height()), qColour(background));
    paintBox(painter, run.moves.bounds(), projection, run.decimals);
    {
        PainterStrokes strokes(painter, false);
        traceMoves(run.moves, projection, strokes);
    }
    if (options.showWritten && run.written) {
        PainterStrokes strokes(painter, false);
        traceBandedMoves(run.written->segments(), run.written->bands(), projection, strokes);
    }
    {
        PainterStrokes strokes(painter, true);
        for (const MoveRange& range : options.highlighted)
            traceMoves(run.moves, projection, strokes, range);
    }
    paintStart(painter, run.moves.startPoint(), projection);
    paintScaleBar(painter, projection, run.decimals);
}
