// The SVG picture of a small run, read back element by element: its
// strokes in the window's styles, the box with its sizes, the start point
// and a scale bar of a round length.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "svg_picture.h"

namespace drennix::toolpath {
namespace {

class Lines final : public LineSink {
public:
    void append(std::string_view prefix, std::string_view line) override
    {
        text += std::string(prefix) + std::string(line) + "\n";
    }
    std::string text;
};

struct Element {
    std::string name;
    std::string attributes;
};

// Every start tag, in order; the picture's lines are plain XML without
// comments or CDATA.
std::vector<Element> elementsOf(const std::string& svg)
{
    std::vector<Element> elements;
    const std::regex tag("<([a-z]+)([^>]*)>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), tag); it != std::sregex_iterator(); ++it)
        elements.push_back({(*it)[1], (*it)[2]});
    return elements;
}

std::string attribute(const Element& element, const std::string& name)
{
    std::smatch match;
    const std::regex pattern(" " + name + "=\"([^\"]*)\"");
    return std::regex_search(element.attributes, match, pattern) ? match[1].str() : std::string();
}

std::vector<ScreenPoint> pointsOf(const std::string& list)
{
    std::vector<ScreenPoint> points;
    const std::regex pair("(-?[0-9.]+),(-?[0-9.]+)");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), pair); it != std::sregex_iterator(); ++it)
        points.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
    return points;
}

// A rapid from the start (0, 0, 5) to (0, 0, 0)... drawn as a point in XY;
// then a square of cuts and one quarter arc.
ToolpathStore squareProgram()
{
    ToolpathStore store(Point3{0, 0, 5});
    Move move;
    move.kind = MoveKind::Rapid;
    move.start = {0, 0, 5};
    move.end = {0, 0, 0};
    store.record(move);
    move.kind = MoveKind::Linear;
    for (const Point3 end : {Point3{20, 0, 0}, Point3{20, 10, 0}, Point3{0, 10, 0}}) {
        move.start = move.end;
        move.end = end;
        store.record(move);
    }
    return store;
}

TEST(SvgPicture, HoldsTheStrokesTheBoxTheStartAndTheScale)
{
    const ToolpathStore store = squareProgram();
    Lines lines;
    SvgLayout layout;
    writeSvgPicture(store, ViewDirection::XZ, 3, lines, layout);
    const std::string& svg = lines.text;
    ASSERT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    ASSERT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_NE(svg.find(".rapid { stroke: #d66e14; stroke-dasharray: 6 4; }"), std::string::npos);

    Projection projection(ViewDirection::XZ, layout.width, layout.height);
    projection.fit(store.bounds(), layout.margin);
    int rapid = 0;
    int cutting = 0;
    int boxEdgesSeen = 0;
    bool startSeen = false;
    bool scaleSeen = false;
    for (const Element& element : elementsOf(svg)) {
        const std::string kind = attribute(element, "class");
        if (element.name == "polyline") {
            const std::vector<ScreenPoint> points = pointsOf(attribute(element, "points"));
            ASSERT_GE(points.size(), 2u);
            if (kind == "rapid") {
                ++rapid;
                // Seen from the front, the rapid goes straight down from the start.
                EXPECT_NEAR(points.front().x, projection.toScreen({0, 0, 5}).x, 0.01);
                EXPECT_NEAR(points.back().y, projection.toScreen({0, 0, 0}).y, 0.01);
            } else {
                EXPECT_EQ(kind, "cutting");
                ++cutting;
                // (20, 10, 0) and (20, 0, 0) coincide in XZ: merged, not repeated.
                EXPECT_NEAR(points.back().x, projection.toScreen({0, 10, 0}).x, 0.01);
            }
        } else if (element.name == "line" && kind == "box") {
            ++boxEdgesSeen;
        } else if (element.name == "circle") {
            startSeen = true;
            EXPECT_NEAR(std::stod(attribute(element, "cx")), projection.toScreen({0, 0, 5}).x, 0.01);
            EXPECT_NEAR(std::stod(attribute(element, "cy")), projection.toScreen({0, 0, 5}).y, 0.01);
        } else if (element.name == "line" && kind == "scale") {
            scaleSeen = true;
            const double length = std::stod(attribute(element, "x2")) - std::stod(attribute(element, "x1"));
            EXPECT_NEAR(length / projection.scale(), 5.0, 1e-6);
        }
    }
    EXPECT_EQ(rapid, 1);
    EXPECT_EQ(cutting, 1);
    EXPECT_EQ(boxEdgesSeen, 12);
    EXPECT_TRUE(startSeen);
    EXPECT_TRUE(scaleSeen);
    EXPECT_NE(svg.find(">範囲 X：20.000 Y：10.000 Z：5.000</text>"), std::string::npos);
}

// A stop while the moves are traced leaves the picture unfinished and says
// so; without one the picture is the same whether a flag was given or not.
TEST(SvgPicture, AStopWhileTracingLeavesThePictureUnfinished)
{
    const ToolpathStore store = squareProgram();
    Lines plain;
    ASSERT_TRUE(writeSvgPicture(store, ViewDirection::XY, 3, plain));
    std::atomic<bool> stop{false};
    Lines watched;
    ASSERT_TRUE(writeSvgPicture(store, ViewDirection::XY, 3, watched, {}, &stop));
    EXPECT_EQ(watched.text, plain.text);
    stop = true;
    Lines stopped;
    EXPECT_FALSE(writeSvgPicture(store, ViewDirection::XY, 3, stopped, {}, &stop));
    EXPECT_EQ(stopped.text.find("<polyline"), std::string::npos);
    EXPECT_EQ(stopped.text.find("</svg>"), std::string::npos);
}

TEST(SvgPicture, ScaleLengthsAreRound)
{
    EXPECT_EQ(roundScaleLength(7.3), 5.0);
    EXPECT_EQ(roundScaleLength(19.9), 10.0);
    EXPECT_EQ(roundScaleLength(0.031), 0.02);
    EXPECT_EQ(roundScaleLength(250), 200.0);
    EXPECT_EQ(roundScaleLength(0), 1.0);
}

}  // namespace
}  // namespace drennix::toolpath
