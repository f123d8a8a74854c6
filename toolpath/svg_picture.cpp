#include "svg_picture.h"

#include <cmath>
#include <string>

#include "number_format.h"
#include "palette.h"
#include "picture_texts.h"
#include "stroke_tracer.h"

namespace drennix::toolpath {
namespace {

constexpr int pixelDecimals = 2;

std::string pixels(double value)
{
    return formatFixed(value, pixelDecimals);
}

std::string hex(Colour colour)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t part : {colour.red, colour.green, colour.blue}) {
        text += digits[part >> 4];
        text += digits[part & 15];
    }
    return text;
}

std::string dash(const double (&pattern)[2])
{
    return formatFixed(pattern[0], 0) + " " + formatFixed(pattern[1], 0);
}

std::string point(ScreenPoint p)
{
    return pixels(p.x) + "," + pixels(p.y);
}

// One <polyline> per stroke, its points a few to a line so that no line of
// the file grows without bound.
class SvgStrokes final : public StrokeSink {
public:
    SvgStrokes(LineSink& sink, const std::atomic<bool>* stop) : sink_(sink), stop_(stop) {}

    bool stopped() const override { return stop_ != nullptr && stop_->load(std::memory_order_relaxed); }

    void beginStroke(StrokeStyle style) override
    {
        line_ = style == StrokeStyle::Rapid ? "<polyline class=\"rapid\" points=\""
                                            : "<polyline class=\"cutting\" points=\"";
        count_ = 0;
    }
    void addPoint(ScreenPoint p) override
    {
        if (count_ > 0) line_ += ' ';
        last_ = point(p);
        line_ += last_;
        if (++count_ % pointsPerLine == 0) {
            sink_.append({}, line_);
            line_.clear();
        }
    }
    void endStroke() override
    {
        // A stroke of one point (moves within a pixel) is drawn as a dot:
        // a line of no length with round ends.
        if (count_ == 1) line_ += ' ' + last_;
        line_ += "\"/>";
        sink_.append({}, line_);
    }

private:
    static constexpr int pointsPerLine = 8;
    LineSink& sink_;
    const std::atomic<bool>* const stop_;
    std::string line_;
    std::string last_;
    int count_ = 0;
};

void writeHeader(LineSink& sink, const SvgLayout& layout)
{
    const std::string width = std::to_string(layout.width);
    const std::string height = std::to_string(layout.height);
    sink.append({}, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    sink.append({}, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
                        "\" viewBox=\"0 0 " + width + " " + height + "\">");
    sink.append({}, "<style>");
    sink.append({}, "polyline, line { fill: none; stroke-width: 1; stroke-linejoin: round; stroke-linecap: round; }");
    sink.append({}, ".cutting { stroke: " + hex(cuttingColour) + "; }");
    sink.append({}, ".rapid { stroke: " + hex(rapidColour) + "; stroke-dasharray: " + dash(rapidDash) + "; }");
    sink.append({}, ".box { stroke: " + hex(boxColour) + "; stroke-dasharray: " + dash(boxDash) + "; }");
    sink.append({}, ".scale { stroke: " + hex(textColour) + "; stroke-width: 2; }");
    sink.append({}, "text { font-family: sans-serif; font-size: 14px; fill: " + hex(textColour) + "; }");
    sink.append({}, "</style>");
    sink.append({}, "<rect width=\"100%\" height=\"100%\" fill=\"" + hex(background) + "\"/>");
}

void writeBox(LineSink& sink, const Box& box, const Projection& projection, int decimals)
{
    sink.append({}, "<g class=\"bounds\">");
    for (const auto& edge : boxEdges) {
        const ScreenPoint a = projection.toScreen(boxCorner(box, edge[0]));
        const ScreenPoint b = projection.toScreen(boxCorner(box, edge[1]));
        sink.append({}, "<line class=\"box\" x1=\"" + pixels(a.x) + "\" y1=\"" + pixels(a.y) + "\" x2=\"" +
                            pixels(b.x) + "\" y2=\"" + pixels(b.y) + "\"/>");
    }
    const std::string sizes = std::string(texts::boxSizeTitle) + " " + std::string(texts::sizeX) +
                              formatFixed(box.size(0), decimals) + " " + std::string(texts::sizeY) +
                              formatFixed(box.size(1), decimals) + " " + std::string(texts::sizeZ) +
                              formatFixed(box.size(2), decimals);
    sink.append({}, "<text class=\"sizes\" x=\"10\" y=\"22\">" + sizes + "</text>");
    sink.append({}, "</g>");
}

void writeStart(LineSink& sink, const Vertex& start, const Projection& projection)
{
    const ScreenPoint p = projection.toScreen(start);
    sink.append({}, "<g class=\"start\">");
    sink.append({}, "<circle cx=\"" + pixels(p.x) + "\" cy=\"" + pixels(p.y) + "\" r=\"5\" fill=\"none\" stroke=\"" +
                        hex(startColour) + "\" stroke-width=\"2\"/>");
    sink.append({}, "<text x=\"" + pixels(p.x + 8) + "\" y=\"" + pixels(p.y - 8) + "\" fill=\"" + hex(startColour) +
                        "\">" + std::string(texts::startPoint) + "</text>");
    sink.append({}, "</g>");
}

void writeScaleBar(LineSink& sink, const Projection& projection, const SvgLayout& layout, int decimals)
{
    const double length = roundScaleLength(layout.width / 4.0 / projection.scale());
    const double x = 20;
    const double y = layout.height - 20.0;
    const double right = x + length * projection.scale();
    sink.append({}, "<g class=\"scale-bar\">");
    sink.append({}, "<line class=\"scale\" x1=\"" + pixels(x) + "\" y1=\"" + pixels(y) + "\" x2=\"" + pixels(right) +
                        "\" y2=\"" + pixels(y) + "\"/>");
    sink.append(
        {}, "<text x=\"" + pixels(x) + "\" y=\"" + pixels(y - 8) + "\">" + formatFixed(length, decimals) + "</text>");
    sink.append({}, "</g>");
}

}  // namespace

double roundScaleLength(double longest)
{
    if (!(longest > 0) || !std::isfinite(longest)) return 1;
    // 10 to a negative power as a division: exact powers of ten divide to
    // the nearest double on every platform, where a C library's pow may not.
    const double exponent = std::floor(std::log10(longest));
    const double power = exponent >= 0 ? std::pow(10.0, exponent) : 1 / std::pow(10.0, -exponent);
    for (const double step : {5.0, 2.0, 1.0}) {
        if (step * power <= longest) return step * power;
    }
    return power;
}

bool writeSvgPicture(const ToolpathStore& store, ViewDirection view, int decimals, LineSink& sink,
                     const SvgLayout& layout, const std::atomic<bool>* stop)
{
    Projection projection(view, layout.width, layout.height);
    projection.fit(store.bounds(), layout.margin);
    writeHeader(sink, layout);
    writeBox(sink, store.bounds(), projection, decimals);
    sink.append({}, "<g class=\"moves\">");
    {
        SvgStrokes strokes(sink, stop);
        traceMoves(store, projection, strokes);
        if (strokes.stopped()) {
            return false;
        }
    }
    sink.append({}, "</g>");
    writeStart(sink, store.startPoint(), projection);
    writeScaleBar(sink, projection, layout, decimals);
    sink.append({}, "</svg>");
    return true;
}

}  // namespace drennix::toolpath
