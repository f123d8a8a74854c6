#include "toolpath_painter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

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

// Strokes into one batch of lines per style, drawn together at the end: a
// program of millions of moves makes many short strokes, and one call per
// stroke would cost more than its pixels. A stroke within one pixel becomes
// a point, each pixel drawn once per style. `highlight` draws every style in
// the highlight colour.
class PainterStrokes final : public StrokeSink {
public:
    PainterStrokes(QPainter& painter, const Projection& projection, bool highlight)
        : painter_(painter),
          width_(static_cast<int>(projection.width())),
          height_(static_cast<int>(projection.height())),
          highlight_(highlight)
    {}
    ~PainterStrokes() override { draw(); }

    void beginStroke(StrokeStyle style) override
    {
        style_ = static_cast<std::size_t>(style);
        started_ = false;
        lined_ = false;
    }
    void addPoint(ScreenPoint p) override
    {
        const QPointF point(p.x, p.y);
        if (started_ && !samePixel(point, last_)) {
            batches_[style_].lines.append(QLineF(last_, point));
            lined_ = true;
        }
        started_ = true;
        last_ = point;
    }
    void endStroke() override
    {
        if (started_ && !lined_) addDot(last_);
    }

private:
    struct Batch {
        QVector<QLineF> lines;
        QVector<QPointF> dots;
    };
    static constexpr std::size_t styleCount = 6;

    static bool samePixel(QPointF a, QPointF b)
    {
        return std::floor(a.x()) == std::floor(b.x()) && std::floor(a.y()) == std::floor(b.y());
    }

    void addDot(QPointF point)
    {
        const int x = static_cast<int>(std::floor(point.x()));
        const int y = static_cast<int>(std::floor(point.y()));
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        if (seen_.empty()) seen_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
        std::uint8_t& mark = seen_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x];
        const auto bit = static_cast<std::uint8_t>(1u << style_);
        if (mark & bit) return;
        mark |= bit;
        batches_[style_].dots.append(QPointF(x + 0.5, y + 0.5));
    }

    void draw()
    {
        for (std::size_t style = 0; style < styleCount; ++style) {
            const Batch& batch = batches_[style];
            if (batch.lines.isEmpty() && batch.dots.isEmpty()) continue;
            QPen pen = penFor(static_cast<StrokeStyle>(style));
            painter_.setPen(pen);
            painter_.drawLines(batch.lines);
            pen.setStyle(Qt::SolidLine);
            painter_.setPen(pen);
            painter_.drawPoints(batch.dots.constData(), static_cast<int>(batch.dots.size()));
        }
    }

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
    int width_;
    int height_;
    bool highlight_;
    std::size_t style_ = 0;
    bool started_ = false;
    bool lined_ = false;
    QPointF last_;
    std::array<Batch, styleCount> batches_;
    std::vector<std::uint8_t> seen_;
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
        PainterStrokes strokes(painter, projection, false);
        traceMoves(run.moves, projection, strokes);
    }
    if (options.showWritten && run.written) {
        PainterStrokes strokes(painter, projection, false);
        traceBandedMoves(run.written->segments(), run.written->bands(), projection, strokes);
    }
    {
        PainterStrokes strokes(painter, projection, true);
        for (const MoveRange& range : options.highlighted)
            traceMoves(run.moves, projection, strokes, range);
    }
    paintStart(painter, run.moves.startPoint(), projection);
    paintScaleBar(painter, projection, run.decimals);
}
