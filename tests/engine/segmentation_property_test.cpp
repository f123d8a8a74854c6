// Properties of converted arcs over many random arcs: every generated point
// before the last lies on the circle (up to the snapping of the number
// format), the last point is exactly the programmed end, the number of lines
// follows the tolerance, and no chord strays further from the arc than the
// tolerance.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "number_format.h"
#include "number_reading.h"
#include "recording_host.h"
#include "run_driver.h"
#include "scratch_directory.h"

namespace drennix {
namespace {

namespace fs = std::filesystem;

struct Arc {
    int plane = 17;  // G17, G18 or G19
    bool clockwise = false;
    double radius = 1;
    double startAngle = 0;
    double swept = 1;  // radians, positive
    double centreA = 0;
    double centreB = 0;
    double helicalStart = 0;
    double helicalTravel = 0;
    double tolerance = 0.01;
};

// Plane axes (A, B, helical) as X=0, Y=1, Z=2.
std::array<int, 3> axesOf(int plane)
{
    if (plane == 17) return {0, 1, 2};
    if (plane == 18) return {2, 0, 1};
    return {1, 2, 0};
}

std::string number(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9f", v);
    return buffer;
}

const char letters[] = {'X', 'Y', 'Z'};

// A program that goes to the arc's start and cuts the arc by centre offsets.
std::string programFor(const Arc& arc, std::array<double, 3>& start, std::array<double, 3>& end)
{
    const auto axes = axesOf(arc.plane);
    const double endAngle = arc.startAngle + (arc.clockwise ? -arc.swept : arc.swept);
    start[axes[0]] = arc.centreA + arc.radius * std::cos(arc.startAngle);
    start[axes[1]] = arc.centreB + arc.radius * std::sin(arc.startAngle);
    start[axes[2]] = arc.helicalStart;
    end[axes[0]] = arc.centreA + arc.radius * std::cos(endAngle);
    end[axes[1]] = arc.centreB + arc.radius * std::sin(endAngle);
    end[axes[2]] = arc.helicalStart + arc.helicalTravel;
    // Re-read the printed values so that the test knows the exact inputs.
    for (auto* p : {&start, &end}) {
        for (double& v : *p)
            v = parseRawValue(number(v));
    }
    const char offsetLetters[3] = {'I', 'J', 'K'};
    std::ostringstream out;
    out << "G" << arc.plane << " G90 G0";
    for (int a = 0; a < 3; ++a)
        out << ' ' << letters[a] << number(start[a]);
    out << "\nG" << (arc.clockwise ? 2 : 3);
    for (int a = 0; a < 3; ++a)
        out << ' ' << letters[a] << number(end[a]);
    out << ' ' << offsetLetters[axes[0]] << number(arc.centreA - start[axes[0]]);
    out << ' ' << offsetLetters[axes[1]] << number(arc.centreB - start[axes[1]]);
    out << " F100.\n";
    return out.str();
}

std::array<double, 3> applyWords(const std::string& line, std::array<double, 3> position)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c < 'X' || c > 'Z') continue;
        std::size_t j = i + 1;
        while (j < line.size() &&
               (std::isdigit(static_cast<unsigned char>(line[j])) || line[j] == '-' || line[j] == '.'))
            ++j;
        position[static_cast<std::size_t>(c - 'X')] = parseRawValue(std::string_view(line).substr(i + 1, j - i - 1));
        i = j - 1;
    }
    return position;
}

std::vector<std::string> readLines(const fs::path& path)
{
    const std::string content = testing::readBytes(path);
    std::vector<std::string> lines;
    std::size_t p = 0;
    while (p < content.size()) {
        const std::size_t e = content.find("\r\n", p);
        lines.push_back(content.substr(p, e - p));
        p = e + 2;
    }
    return lines;
}

TEST(segmentation_property, random_arcs_stay_on_the_circle_and_within_tolerance)
{
    const testing::ScratchDirectory scratch;
    const fs::path& dir = scratch.path();
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double pi = std::acos(-1.0);
    Settings settings;
    // Snapping to three decimals moves a point by at most half a unit of the
    // last place on each of two plane axes.
    const double snap = 0.0005 * std::sqrt(2.0) + 1e-12;

    for (int trial = 0; trial < 300; ++trial) {
        Arc arc;
        arc.plane = 17 + static_cast<int>(random() % 3);
        arc.clockwise = random() % 2 == 0;
        arc.radius = std::pow(10.0, -1.0 + 3.0 * unit(random));  // 0.1 .. 100
        arc.startAngle = (unit(random) * 2 - 1) * pi;
        arc.swept = 0.05 + unit(random) * (2 * pi - 0.1);
        arc.centreA = (unit(random) * 2 - 1) * 100;
        arc.centreB = (unit(random) * 2 - 1) * 100;
        arc.helicalStart = (unit(random) * 2 - 1) * 10;
        arc.helicalTravel = random() % 2 ? (unit(random) * 2 - 1) * 5 : 0.0;
        arc.tolerance = std::pow(10.0, -3.0 + 2.0 * unit(random));  // 0.001 .. 0.1

        std::array<double, 3> start{}, end{};
        const fs::path source = dir / ("arc" + std::to_string(trial) + ".nc");
        std::ofstream(source, std::ios::binary) << programFor(arc, start, end);

        RunOptions options;
        options.sourcePath = source.string();
        options.tolerance = arc.tolerance;
        options.runMode = RunMode::ConvertArcs;
        testing::RecordingHost host;
        RunDriver(settings).execute(options, host);
        ASSERT_FALSE(host.messages.empty());
        ASSERT_NE(host.messages.back().text.find("を作成しました"), std::string::npos)
            << host.messages.back().text << "\n"
            << trial;

        const auto lines = readLines(dir / ("arc" + std::to_string(trial) + "_con.nc"));
        // The rapid line, the generated lines, the empty last line.
        ASSERT_GE(lines.size(), 3u);
        const std::size_t n = lines.size() - 2;
        const auto axes = axesOf(arc.plane);
        const double r = std::hypot(start[axes[0]] - arc.centreA, start[axes[1]] - arc.centreB);

        // The segment count: one chord per angle whose sagitta is the tolerance.
        if (r > arc.tolerance) {
            const double theta = 2 * std::acos((r - arc.tolerance) / r);
            const double expected = std::ceil(arc.swept / theta);
            EXPECT_NEAR(static_cast<double>(n), expected, 1.0) << "trial " << trial;
        }

        std::array<double, 3> position = start;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto next = applyWords(lines[k], position);
            if (k < n) {
                const double onCircle = std::hypot(next[axes[0]] - arc.centreA, next[axes[1]] - arc.centreB);
                EXPECT_NEAR(onCircle, r, snap) << "trial " << trial << " line " << k;
            } else {
                // The last line goes exactly to the programmed end, written
                // in the number format.
                for (int a = 0; a < 3; ++a) {
                    EXPECT_EQ(formatFixed(next[a], 3), formatFixed(end[a], 3)) << "trial " << trial;
                }
            }
            // The chord's furthest distance from the arc is its sagitta.
            const double chord = std::hypot(next[axes[0]] - position[axes[0]], next[axes[1]] - position[axes[1]]);
            const double half = std::min(chord / 2, r);
            const double sagitta = r - std::sqrt(r * r - half * half);
            EXPECT_LE(sagitta, arc.tolerance + 2 * snap) << "trial " << trial << " line " << k;
            position = next;
        }
        EXPECT_EQ(lines.back(), "");
    }
}

}  // namespace
}  // namespace drennix
