// Single arcs whose cuts are many times what the check beside a conversion
// holds on their way, converted by the built drennix-cli within a deadline
// and checked; SIGINT in the middle of such a conversion ends the process at
// once; settings files that would keep it waiting are refused.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "check_alongside.h"
#include "cli_process.h"
#include "output_store.h"
#include "scratch_directory.h"

namespace drennix::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using drennix::testing::ScratchDirectory;
using namespace std::chrono_literals;

constexpr std::string_view scratchPrefix = "drennix-long-arc-test-";

// The written lines that can be on their way to the check at once: the
// channel's buffers, each a block of the store.
constexpr long long checkCapacity =
    OutputStore::defaultBlockLines * static_cast<long long>(CheckAlongside::defaultChannelBuffers);

// A run that has not ended by then hangs: far beyond the time any of these
// conversions takes, even under the sanitizers.
constexpr auto deadline = 300s;

#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
// Builds that run many times slower than a release build.
constexpr int slowdown = 10;
#else
constexpr int slowdown = 1;
#endif

const double radius = 1000;
// Decimal places of the written numbers (the default settings).
const double rounding = std::sqrt(3.0) / 2 * 0.001;

enum class ArcShape { FullCircle, Helix, MultiTurnHelix };

struct ArcCase {
    ArcShape shape;
    double timesCapacity;
};

std::string shapeName(ArcShape shape)
{
    switch (shape) {
    case ArcShape::FullCircle: return "full circle";
    case ArcShape::Helix: return "helix";
    case ArcShape::MultiTurnHelix: return "helix of three turns";
    }
    return "?";
}

int turnsOf(ArcShape shape)
{
    return shape == ArcShape::MultiTurnHelix ? 3 : 1;
}

// The program of one arc from where the rapid move leaves the tool.
std::string arcProgram(ArcShape shape)
{
    const std::string start = "G90 G17 G0 X1000. Y0. Z0.\r\n";
    switch (shape) {
    case ArcShape::FullCircle: return start + "G3 X1000. Y0. I-1000. F100.\r\n";
    case ArcShape::Helix: return start + "G3 X1000. Y0. Z-10. I-1000. F100.\r\n";
    case ArcShape::MultiTurnHelix: return start + "G3 X1000. Y0. Z-30. I-1000. P3 F100.\r\n";
    }
    return start;
}

// A tolerance for about `cuts` chords over the arc: a chord of angle a
// deviates r (1 - cos(a / 2)) from its arc.
double toleranceFor(ArcShape shape, double cuts)
{
    const double angle = 2 * std::numbers::pi * turnsOf(shape) / cuts;
    return radius * (1 - std::cos(angle / 2));
}

std::string exactText(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

long long linesIn(const fs::path& path)
{
    const std::string bytes = drennix::testing::readBytes(path);
    return static_cast<long long>(std::count(bytes.begin(), bytes.end(), '\n'));
}

std::vector<std::string> convertingArgs(const std::string& mode, ArcShape shape, double tolerance,
                                        const fs::path& source)
{
    std::vector<std::string> args{"--json", "-m", mode, "-t", exactText(tolerance)};
    if (shape == ArcShape::MultiTurnHelix) {
        args.push_back("--set");
        args.push_back("arcTurnsByP=1");
    }
    args.push_back(source.string());
    return args;
}

// Converts the arc and checks what the check beside the run found.
void convertsAndChecks(const std::string& mode, const ArcCase& arc)
{
    SCOPED_TRACE(mode + ", " + shapeName(arc.shape) + ", " + std::to_string(arc.timesCapacity) + " times");
    const ScratchDirectory directory{scratchPrefix};
    const fs::path source = directory.write("arc.nc", arcProgram(arc.shape));
    const double cuts = arc.timesCapacity * static_cast<double>(checkCapacity);
    const double tolerance = toleranceFor(arc.shape, cuts);
    CliProcess cli(convertingArgs(mode, arc.shape, tolerance, source));
    const std::optional<CliResult> result = cli.waitFor(deadline);
    ASSERT_TRUE(result) << "the conversion did not end";
    ASSERT_EQ(result->exitStatus, 0) << result->err;
    const Json report = Json::parse(result->out);
    ASSERT_TRUE(report.contains("verification")) << result->out;
    const Json& verification = report["verification"];
    const fs::path written = directory.path() / "arc_con.nc";
    EXPECT_EQ(verification["arcs"], 1);
    // Every written line is a cut of the arc but the rapid move and the
    // empty line after the source's last line end.
    const long long lines = verification["lines"];
    EXPECT_EQ(lines, linesIn(written) - 2);
    EXPECT_GT(static_cast<double>(lines), 0.8 * cuts);
    EXPECT_LT(static_cast<double>(lines), 1.25 * cuts + 2);
    EXPECT_LE(verification["maxDeviation"].get<double>(), tolerance + rounding);
    EXPECT_EQ(verification["maxDeviationLine"], 2);
    EXPECT_LE(verification["maxEndError"].get<double>(), rounding);
    fs::remove(written);
}

TEST(long_arc, every_conversion_of_one_arc_ends_checked_whatever_its_size)
{
    // A hundred times the capacity is five million cuts; the largest size
    // goes through once for each mode.
    for (const double times : {0.5, 1.0, 2.0, 10.0}) {
        for (const ArcShape shape : {ArcShape::FullCircle, ArcShape::Helix, ArcShape::MultiTurnHelix})
            convertsAndChecks("arcs", {shape, times});
        for (const ArcShape shape : {ArcShape::Helix, ArcShape::MultiTurnHelix})
            convertsAndChecks("helical", {shape, times});
    }
    convertsAndChecks("arcs", {ArcShape::FullCircle, 100});
    convertsAndChecks("helical", {ArcShape::MultiTurnHelix, 100});
}

#if !defined(_WIN32)

TEST(long_arc, sigint_in_the_middle_of_one_arc_ends_the_run_at_once)
{
    if (!fs::exists("/proc/self/status")) GTEST_SKIP() << "needs /proc to see when the interrupt handler is in place";
    // An arc of a hundred times the check's capacity, interrupted early (the
    // check's channel filling), midway and late.
    const auto limit = 200ms * slowdown;
    for (const auto after : {20ms, 150ms, 400ms}) {
        SCOPED_TRACE("interrupted after " + std::to_string(after.count()) + " ms");
        const ScratchDirectory directory{scratchPrefix};
        const fs::path source = directory.write("arc.nc", arcProgram(ArcShape::FullCircle));
        const double tolerance = toleranceFor(ArcShape::FullCircle, 100.0 * static_cast<double>(checkCapacity));
        CliProcess cli(convertingArgs("arcs", ArcShape::FullCircle, tolerance, source));
        ASSERT_TRUE(waitForSignalHandler(cli.pid, SIGINT));
        std::this_thread::sleep_for(after * slowdown);
        const auto sent = std::chrono::steady_clock::now();
        ASSERT_EQ(kill(cli.pid, SIGINT), 0);
        const std::optional<CliResult> result = cli.waitFor(deadline);
        const auto took = std::chrono::steady_clock::now() - sent;
        ASSERT_TRUE(result) << "the interrupted conversion did not end";
        // A run that finished before the signal came has nothing to stop.
        if (result->exitStatus == 0) continue;
        EXPECT_EQ(result->exitStatus, 130) << result->err;
        EXPECT_LT(took, limit);
        // Nothing is left beside the source.
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory.path()))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"arc.nc"});
    }
}

TEST(long_arc, a_settings_file_that_is_no_regular_file_is_refused_at_once)
{
    const ScratchDirectory directory{scratchPrefix};
    const fs::path source = directory.write("part.nc", "G1 X1. F100.\r\n");
    const fs::path pipe = directory.path() / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string large(std::size_t{1} << 21, ' ');
    const fs::path huge = directory.write("huge.json", large);
    for (const std::string option : {"--settings", "--machine"}) {
        for (const fs::path& file : {pipe, fs::path("/dev/zero"), huge}) {
            SCOPED_TRACE(option + " " + file.string());
            CliProcess cli({option, file.string(), source.string()});
            const std::optional<CliResult> result = cli.waitFor(5s * slowdown);
            ASSERT_TRUE(result) << "the run waits on its settings file";
            EXPECT_EQ(result->exitStatus, 2);
            EXPECT_EQ(std::count(result->err.begin(), result->err.end(), '\n'), 1) << result->err;
            EXPECT_NE(result->err.find(option + " " + file.string() + ": cannot be read"), std::string::npos)
                << result->err;
        }
    }
}

#endif

}  // namespace
}  // namespace drennix::test
