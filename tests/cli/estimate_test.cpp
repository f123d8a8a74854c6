// drennix-cli --estimate: the text line, the JSON object, the machine model
// from --set and --machine, and the refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_process.h"
#include "scratch_directory.h"

namespace drennix::test {
namespace {

using Json = nlohmann::json;
using drennix::testing::ScratchDirectory;

// From X0 Y0: 100 mm along X, then 100 mm along Y, at 100 mm/s.
constexpr std::string_view corner = "G1X100.F6000.\nG1Y100.\n";

Json estimateOf(const std::vector<std::string>& args)
{
    const CliResult result = runCli(args);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return Json::parse(result.out)["estimate"];
}

TEST(cli_estimate, a_right_angle_takes_the_worked_example_of_the_readme)
{
    const ScratchDirectory scratch;
    const std::string source = scratch.write("corner.nc", corner).string();
    const Json estimate = estimateOf({"--json", "--estimate", source});
    // Each leg: 0.050 s up to speed, 0.047 s down to the corner's 6.95 mm/s,
    // 95.01 mm at 100 mm/s.
    EXPECT_NEAR(estimate["seconds"].get<double>(), 2.0932, 1e-4);
    EXPECT_EQ(estimate["rapidSeconds"], 0.0);
    EXPECT_EQ(estimate["cuttingSeconds"], estimate["seconds"]);

    const CliResult text = runCli({"--estimate", source});
    EXPECT_NE(text.out.find("時間：0.0\n"), std::string::npos) << text.out;
    EXPECT_TRUE(text.out.ends_with("推定時間：0:00:02\n")) << text.out;
    // Without --estimate nothing changes.
    EXPECT_EQ(runCli({source}).out.find("推定時間"), std::string::npos);
    EXPECT_FALSE(Json::parse(runCli({"--json", source}).out).contains("estimate"));
}

TEST(cli_estimate, the_machine_comes_from_set_and_from_a_machine_file)
{
    const ScratchDirectory scratch;
    const std::string source = scratch.write("corner.nc", corner).string();
    const std::string machine =
        scratch.write("machine.json", R"({"accelerationX": 100, "accelerationY": 100, "xAxisLetter": "U"})").string();
    const double fast = estimateOf({"--json", "--estimate", source})["seconds"];
    const double slowFile = estimateOf({"--json", "--estimate", "--machine", machine, source})["seconds"];
    const double slowSet = estimateOf(
        {"--json", "--estimate", "--set", "accelerationX=100", "--set", "accelerationY=100", source})["seconds"];
    EXPECT_GT(slowFile, fast + 1);
    // --machine takes only the machine: X stays the X axis.
    EXPECT_EQ(slowFile, slowSet);
}

// --moves with --estimate: every move, in order, with its time and speeds;
// the times add up to the estimate, each move enters as fast as the one
// before it left.
TEST(cli_estimate, the_moves_file_gives_each_moves_time_and_speeds)
{
    const ScratchDirectory scratch;
    const std::string source =
        scratch.write("corner.nc", "G0X5.\nG1X100.F6000.\nG2X110.Y-10.R10.\nG1Y-100.\n").string();
    const std::string moves = (scratch.path() / "moves.jsonl").string();
    const double seconds = estimateOf({"--json", "--estimate", "--moves", moves, "-m", "arcs", source})["seconds"];
    std::ifstream in(moves);
    std::vector<Json> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(Json::parse(line));
    ASSERT_EQ(lines.size(), 4u);
    double sum = 0;
    double previousExit = 0;
    for (const Json& move : lines) {
        EXPECT_EQ(move["entrySpeed"].get<double>(), previousExit) << move;
        sum += move["seconds"].get<double>();
        previousExit = move["exitSpeed"];
    }
    EXPECT_EQ(previousExit, 0);
    EXPECT_NEAR(sum, seconds, 1e-9 * seconds);
    EXPECT_EQ(lines[2]["line"], 3);
    EXPECT_EQ(lines[2]["converted"], true);
    EXPECT_GT(lines[2]["segments"].get<int>(), 1);
}

TEST(cli_estimate, a_rejected_run_has_no_estimate_and_bad_machines_are_usage_errors)
{
    const ScratchDirectory scratch;
    const std::string bad = scratch.write("bad.nc", "G1X1..F100.\n").string();
    const CliResult rejected = runCli({"--json", "--estimate", bad});
    EXPECT_EQ(rejected.exitStatus, 1);
    EXPECT_TRUE(Json::parse(rejected.out)["estimate"].is_null());

    const std::string source = scratch.write("corner.nc", corner).string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--set", "accelerationX=0", source}, "X軸加速度 には 0 超過 1000000 までの数値を入力して下さい。\n"},
        {{"--set", "lookAhead=2.5", source},
         "drennix-cli: --set lookAhead: '2.5' is not a decimal integer in the 32-bit range\n"},
        {{"--machine", (scratch.path() / "missing.json").string(), source}, ""},
    };
    for (const auto& [args, err] : cases) {
        const CliResult result = runCli(args);
        EXPECT_EQ(result.exitStatus, 2) << result.err;
        EXPECT_EQ(result.out, "");
        if (!err.empty()) {
            EXPECT_EQ(result.err, err);
        }
        EXPECT_NE(result.err, "");
    }
}

}  // namespace
}  // namespace drennix::test
