#include "toolpath_painter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include <QFontMetricsF>
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

// The backing of the box's sizes: the background, a little see-through.
constexpr int textBackingAlpha = 224;

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

// Thin solid or dashed lines written straight into an RGB32 image, a
// pixel per step along the longer axis: QPainter's cost per line call is
// far above a short line's pixels, and a big program draws millions of them.
class LineRaster {
public:
    explicit LineRaster(QImage& image)
        : bits_(reinterpret_cast<QRgb*>(image.bits())),
          stride_(image.bytesPerLine() / 4),
          width_(image.width()),
          height_(image.height())
    {}

    // `dash` (pixels on, pixels off) or null for a solid line; `phase` runs
    // on from line to line so that a dashed stroke keeps its rhythm. A line
    // `width` pixels wide gets the pixels beside it across its longer axis.
    void line(QPointF a, QPointF b, QRgb colour, const double* dash, double& phase, int width)
    {
        // Most lines of a big program: short, thin, solid and on the picture.
        if (dash == nullptr && width == 1 && inside(a) && inside(b)) return solidWithin(a, b, colour);
        // Only a dash needs the length.
        const double length = dash != nullptr ? std::hypot(b.x() - a.x(), b.y() - a.y()) : 0;
        double from = 0;
        double to = 1;
        if (!clip(a, b, from, to)) {
            phase += length;
            return;
        }
        const double x0 = a.x() + from * (b.x() - a.x());
        const double y0 = a.y() + from * (b.y() - a.y());
        const double dx = (to - from) * (b.x() - a.x());
        const double dy = (to - from) * (b.y() - a.y());
        const int steps = std::max(1, static_cast<int>(std::ceil(std::max(std::fabs(dx), std::fabs(dy)))));
        const double stepX = dx / steps;
        const double stepY = dy / steps;
        const double stepLength = length * (to - from) / steps;
        const double period = dash != nullptr ? dash[0] + dash[1] : 0;
        const bool across = std::fabs(dx) >= std::fabs(dy);
        const int low = -(width - 1) / 2;
        const int high = width / 2;
        double along = dash != nullptr ? std::fmod(phase + from * length, period) : 0;
        double x = x0;
        double y = y0;
        for (int i = 0; i <= steps; ++i, x += stepX, y += stepY) {
            if (dash == nullptr || along < dash[0]) {
                const int px = static_cast<int>(x);
                const int py = static_cast<int>(y);
                for (int side = low; side <= high; ++side)
                    plot(across ? px : px + side, across ? py + side : py, colour);
            }
            if (dash != nullptr) {
                along += stepLength;
                if (along >= period) along = std::fmod(along, period);
            }
        }
        phase += length;
    }

    bool inside(QPointF p) const { return p.x() >= 0 && p.y() >= 0 && p.x() < width_ && p.y() < height_; }

    // A thin solid line whose ends are both on the picture: no clipping, no
    // test per pixel.
    void solidWithin(QPointF a, QPointF b, QRgb colour)
    {
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        const int steps = std::max(1, static_cast<int>(std::ceil(std::max(std::fabs(dx), std::fabs(dy)))));
        const double stepX = dx / steps;
        const double stepY = dy / steps;
        double x = a.x();
        double y = a.y();
        for (int i = 0; i <= steps; ++i, x += stepX, y += stepY) {
            const int px = std::min(static_cast<int>(x), width_ - 1);
            const int py = std::min(static_cast<int>(y), height_ - 1);
            bits_[static_cast<qsizetype>(py) * stride_ + px] = colour;
        }
    }

    // A square dot `width` pixels wide.
    void dot(int x, int y, QRgb colour, int width)
    {
        const int low = -(width - 1) / 2;
        const int high = width / 2;
        for (int dy = low; dy <= high; ++dy) {
            for (int dx = low; dx <= high; ++dx)
                plot(x + dx, y + dy, colour);
        }
    }

    void plot(int x, int y, QRgb colour)
    {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) bits_[static_cast<qsizetype>(y) * stride_ + x] = colour;
    }

private:
    // Liang-Barsky: the part [from, to] of a→b inside the image.
    bool clip(QPointF a, QPointF b, double& from, double& to) const
    {
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a.x(), width_ - 1e-6 - a.x(), a.y(), height_ - 1e-6 - a.y()};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0) {
                from = std::max(from, t);
            } else {
                to = std::min(to, t);
            }
        }
        return from <= to;
    }

    QRgb* bits_;
    qsizetype stride_;
    int width_;
    int height_;
};

// The image a painter draws straight into, when it can be written pixel by
// pixel: RGB32, one pixel per unit, no transformation.
QImage* rasterTarget(QPainter& painter)
{
    auto* image = dynamic_cast<QImage*>(painter.device());
    if (image == nullptr || image->format() != QImage::Format_RGB32 || image->devicePixelRatio() != 1 ||
        !painter.transform().isIdentity()) {
        return nullptr;
    }
    return image;
}

// Strokes into one batch of lines per style, drawn together at the end: a
// program of millions of moves makes many short strokes, and one call per
// stroke would cost more than its pixels. A stroke within one pixel becomes
// a point, each pixel drawn once per style. `highlight` draws every style in
// the highlight colour.
class PainterStrokes final : public StrokeSink {
public:
    PainterStrokes(QPainter& painter, const Projection& projection, bool highlight,
                   const std::function<bool()>& stopped, bool coarse = false)
        : painter_(painter),
          stopped_(stopped),
          coarse_(coarse),
          width_(static_cast<int>(projection.width())),
          height_(static_cast<int>(projection.height())),
          highlight_(highlight)
    {
        if (QImage* image = rasterTarget(painter)) {
            raster_.emplace(*image);
            for (std::size_t style = 0; style < styleCount; ++style)
                rasterPens_[style] = rasterPenFor(static_cast<StrokeStyle>(style));
        }
    }
    ~PainterStrokes() override { draw(); }

    bool stopped() const override
    {
        if (stopped_ && stopped_()) interrupted_ = true;
        return interrupted_;
    }
    bool interrupted() const { return interrupted_; }
    bool coarse() const override { return coarse_; }

    void beginStroke(StrokeStyle style) override
    {
        style_ = static_cast<std::size_t>(style);
        started_ = false;
        lined_ = false;
        phase_ = 0;
    }
    void addPoint(ScreenPoint p) override
    {
        const QPointF point(p.x, p.y);
        if (started_ && !samePixel(point, last_)) {
            if (raster_) {
                const RasterPen& pen = rasterPens_[style_];
                raster_->line(last_, point, pen.colour, pen.dash, phase_, pen.width);
            } else {
                batches_[style_].lines.append(QLineF(last_, point));
            }
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
        if (raster_) {
            const RasterPen& pen = rasterPens_[style_];
            raster_->dot(x, y, pen.colour, pen.width);
        } else {
            batches_[style_].dots.append(QPointF(x + 0.5, y + 0.5));
        }
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

    // How a style is written straight into an image: the colour, width and
    // dash of its pen.
    struct RasterPen {
        QRgb colour = 0;
        int width = 1;
        const double* dash = nullptr;
    };
    RasterPen rasterPenFor(StrokeStyle style) const
    {
        const QPen pen = penFor(style);
        RasterPen raster{pen.color().rgb(), static_cast<int>(pen.width()), nullptr};
        // A pen's dash counts in its widths; the image's in pixels.
        if (style == StrokeStyle::Rapid) raster.dash = rapidDash;
        return raster;
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
    const std::function<bool()>& stopped_;
    const bool coarse_;
    mutable bool interrupted_ = false;
    int width_;
    int height_;
    bool highlight_;
    std::size_t style_ = 0;
    bool started_ = false;
    bool lined_ = false;
    QPointF last_;
    double phase_ = 0;
    std::optional<LineRaster> raster_;
    std::array<RasterPen, styleCount> rasterPens_{};
    std::array<Batch, styleCount> batches_;
    std::vector<std::uint8_t> seen_;
};

QPointF toQt(ScreenPoint p)
{
    return {p.x, p.y};
}

void paintBox(QPainter& painter, const Box& box, const Projection& projection)
{
    painter.setPen(dashedPen(boxColour, boxDash));
    for (const auto& edge : boxEdges) {
        painter.drawLine(toQt(projection.toScreen(boxCorner(box, edge[0]))),
                         toQt(projection.toScreen(boxCorner(box, edge[1]))));
    }
}

// The box's sizes in the top left corner, over the strokes on a backing of
// the background colour, so that a dense path leaves them readable.
void paintBoxSizes(QPainter& painter, const Box& box, int decimals)
{
    const std::string sizes = std::string(texts::boxSizeTitle) + " " + std::string(texts::sizeX) +
                              drennix::formatFixed(box.size(0), decimals) + " " + std::string(texts::sizeY) +
                              drennix::formatFixed(box.size(1), decimals) + " " + std::string(texts::sizeZ) +
                              drennix::formatFixed(box.size(2), decimals);
    const QString text = fromUtf8(sizes);
    const QFontMetricsF metrics(painter.font());
    const QPointF baseline(8, 8 + metrics.ascent());
    const QRectF backing =
        QRectF(baseline.x(), baseline.y() - metrics.ascent(), metrics.horizontalAdvance(text), metrics.height())
            .adjusted(-4, -2, 4, 2);
    QColor fill = qColour(background);
    fill.setAlpha(textBackingAlpha);
    painter.fillRect(backing, fill);
    painter.setPen(qColour(textColour));
    painter.drawText(baseline, text);
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

std::vector<PicturePart> pictureParts(const ToolpathRun& run, const ToolpathPaintOptions& options, std::size_t shares)
{
    std::vector<PicturePart> parts;
    const auto share = [&](PicturePart::Kind kind, std::size_t count) {
        const std::size_t step = std::max<std::size_t>(1, (count + shares - 1) / std::max<std::size_t>(1, shares));
        for (std::size_t first = 0; first < count; first += step)
            parts.push_back({kind, {first, std::min(count, first + step)}});
    };
    share(PicturePart::Kind::Moves, run.moves.moveCount());
    if (options.showWritten && run.written) share(PicturePart::Kind::Written, run.written->arcCount());
    return parts;
}

void paintBackground(QPainter& painter, const ToolpathRun& run, const Projection& projection)
{
    painter.fillRect(QRectF(0, 0, projection.width(), projection.height()), qColour(background));
    paintBox(painter, run.moves.bounds(), projection);
}

bool paintPart(QPainter& painter, const ToolpathRun& run, const Projection& projection,
               const ToolpathPaintOptions& options, const PicturePart& part, const std::function<bool()>& stopped)
{
    PainterStrokes strokes(painter, projection, false, stopped, options.coarse);
    if (part.kind == PicturePart::Kind::Written) {
        if (run.written) traceWrittenPath(run.moves, *run.written, run.decimals, projection, strokes, part.range);
    } else if (options.showSpeeds && run.speeds && run.speeds->size() == run.moves.moveCount()) {
        traceBandedMoves(run.moves, run.speeds->bands(), projection, strokes, part.range);
    } else {
        traceMoves(run.moves, projection, strokes, part.range);
    }
    return !strokes.interrupted();
}

bool paintOverlay(QPainter& painter, const ToolpathRun& run, const Projection& projection,
                  const ToolpathPaintOptions& options, const std::function<bool()>& stopped)
{
    {
        PainterStrokes strokes(painter, projection, true, stopped);
        for (const MoveRange& range : options.highlighted)
            traceMoves(run.moves, projection, strokes, range);
        if (strokes.interrupted()) return false;
    }
    paintStart(painter, run.moves.startPoint(), projection);
    paintScaleBar(painter, projection, run.decimals);
    paintBoxSizes(painter, run.moves.bounds(), run.decimals);
    return true;
}

namespace {

// No stroke is drawn in it (the palette has no such colour).
constexpr QRgb layerKey = 0xff010203;

}  // namespace

QImage emptyLayer(QSize size)
{
    QImage layer(size, QImage::Format_RGB32);
    layer.fill(layerKey);
    return layer;
}

void mergeLayer(QImage& picture, const QImage& layer)
{
    const int rows = std::min(picture.height(), layer.height());
    const int columns = std::min(picture.width(), layer.width());
    for (int y = 0; y < rows; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < columns; ++x) {
            if (from[x] != layerKey) to[x] = from[x];
        }
    }
}

bool paintToolpath(QPainter& painter, const ToolpathRun& run, const Projection& projection,
                   const ToolpathPaintOptions& options, const std::function<bool()>& stopped)
{
    paintBackground(painter, run, projection);
    for (const PicturePart& part : pictureParts(run, options, 1)) {
        if (!paintPart(painter, run, projection, options, part, stopped)) return false;
    }
    return paintOverlay(painter, run, projection, options, stopped);
}
