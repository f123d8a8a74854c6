// drennix-cli where tool changes are read: the table of the figures per tool
// after the figures and "tools" in the JSON report; with the default settings
// every report stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_process.h"
#include "scratch_directory.h"

namespace drennix::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using drennix::testing::readBytes;
using drennix::testing::ScratchDirectory;

// T1 cuts 21 (Z10 to Z-1, then X0 to X10); T2 comes in on line 8, rapids 6
// and cuts 8 at F200 and S2000; T1 again cuts 10 back to X0 under H2.
const std::string twoTools =
    "G0X0Y0Z10.\nT1M6\nG43H1\nS1000M3\nG1Z-1.F100.\nX10.\nT2\nM6\nH2\nG0Z5.\nS2000\n"
    "G1Z-3.F200.\nT1M6\nG1X0F100.\nM30\n";

// The prefix of the test's temporary directories.
constexpr std::string_view scratchPrefix = "drennix-cli-test-";

const std::string titles = "工具\tH\t行\t切削距離\t早送距離\t時間\t推定時間\t最低Z\t送り速度\t主軸回転数";

std::vector<std::string> split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

// The lines of the report from the column titles on.
std::vector<std::string> tableLines(const std::string& out)
{
    std::vector<std::string> lines = split(out, "\n");
    const auto title = std::find(lines.begin(), lines.end(), titles);
    return std::vector<std::string>(title, lines.end());
}

TEST(cli_tools, the_text_report_ends_with_a_row_per_use_the_totals_and_the_whole)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    const CliResult run = runCli({"--dialect", "fanuc", "part.nc"}, directory.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<std::string> expected = {
        titles,
        "開始時\t\t1-1\t0.000\t10.000\t0.0\t\t0.000\t\t",
        "T1\tH1\t2-7\t21.000\t0.000\t0.2\t\t-1.000\t100\t1000",
        "T2\tH2\t8-12\t8.000\t6.000\t0.0\t\t-3.000\t100, 200\t1000, 2000",
        "T1\tH2\t13-15\t10.000\t0.000\t0.1\t\t-3.000\t200, 100\t2000",
        "T1 計\t\t\t31.000\t0.000\t0.3\t\t-3.000\t100, 200\t1000, 2000",
        "合計\t\t\t39.000\t16.000\t0.4\t\t-3.000\t100, 200\t1000, 2000",
        "",
    };
    EXPECT_EQ(tableLines(run.out), expected) << run.out;
    // Right after the figures and their notes.
    EXPECT_NE(run.out.find("工具交換数：3\n" + titles + "\n"), std::string::npos) << run.out;

    // With the estimate the table follows 推定時間 and fills its column.
    const CliResult estimated = runCli({"--dialect", "fanuc", "--estimate", "part.nc"}, directory.path());
    ASSERT_EQ(estimated.exitStatus, 0) << estimated.err;
    const std::size_t estimate = estimated.out.find("推定時間：");
    ASSERT_NE(estimate, std::string::npos);
    EXPECT_EQ(estimated.out.find('\n', estimate) + 1, estimated.out.find(titles)) << estimated.out;
    for (const std::string& line : tableLines(estimated.out)) {
        if (line.empty() || line == titles) continue;
        const std::vector<std::string> cells = split(line, "\t");
        ASSERT_EQ(cells.size(), 10u) << line;
        EXPECT_EQ(std::count(cells[6].begin(), cells[6].end(), ':'), 2) << line;
    }
}

// Nothing of it without the setting, whichever way it is left off.
TEST(cli_tools, without_tool_changes_every_report_is_as_before)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    for (const std::vector<std::string>& settings :
         {std::vector<std::string>{}, std::vector<std::string>{"--dialect", "fanuc", "--set", "toolChanges=0"}}) {
        std::vector<std::string> args = settings;
        args.push_back("part.nc");
        const CliResult text = runCli(args, directory.path());
        EXPECT_EQ(text.out.find("工具"), std::string::npos) << text.out;
        args.insert(args.begin(), {"--json", "--estimate"});
        const Json report = Json::parse(runCli(args, directory.path()).out);
        EXPECT_FALSE(report.contains("tools")) << report;
    }
    const Json on = Json::parse(runCli({"--json", "--set", "toolChanges=1", "part.nc"}, directory.path()).out);
    EXPECT_EQ(on["tools"].size(), 4u);
}

TEST(cli_tools, the_json_report_holds_each_use_in_raw_numbers)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    const CliResult run = runCli({"--json", "--dialect", "fanuc", "part.nc"}, directory.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const Json report = Json::parse(run.out);
    // The last key, after the check of a conversion.
    EXPECT_NE(run.out.find("\n  \"verification\": null,\n  \"tools\": [\n"), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with("]\n}\n")) << run.out;
    const Json& tools = report["tools"];
    ASSERT_EQ(tools.size(), 4u);  // the uses only: the totals are the reader's
    EXPECT_EQ(tools[0]["tool"], -1);
    EXPECT_EQ(tools[0]["lengthOffset"], -1);
    const Json& first = tools[1];
    EXPECT_EQ(first["tool"], 1);
    EXPECT_EQ(first["lengthOffset"], 1);
    EXPECT_EQ(first["firstLine"], 2);
    EXPECT_EQ(first["lastLine"], 7);
    EXPECT_DOUBLE_EQ(first["cuttingDistance"].get<double>(), 21.0);
    EXPECT_EQ(first["rapidDistance"], 0.0);
    EXPECT_DOUBLE_EQ(first["machiningTime"].get<double>(), 0.21);  // minutes, unrounded
    EXPECT_TRUE(first["estimateSeconds"].is_null());
    EXPECT_EQ(first["lowestZ"], -1.0);
    EXPECT_EQ(first["feeds"], Json::array({100.0}));
    EXPECT_EQ(first["spindleSpeeds"], Json::array({1000.0}));
    EXPECT_EQ(tools[2]["spindleSpeeds"], Json::array({1000.0, 2000.0}));
    EXPECT_EQ(tools[3]["lengthOffset"], 2);

    // The estimate of each use leaves out the tool changes' own time.
    const Json estimated = Json::parse(
        runCli({"--json", "--dialect", "fanuc", "--estimate", "--set", "toolChangeTime=4", "part.nc"}, directory.path())
            .out);
    double seconds = 0;
    for (const Json& tool : estimated["tools"])
        seconds += tool["estimateSeconds"].get<double>();
    EXPECT_NEAR(estimated["estimate"]["seconds"].get<double>() - seconds, 3 * 4.0, 1e-6);
}

TEST(cli_tools, a_tool_without_moves_has_no_lowest_z_and_a_stopped_run_no_tools)
{
    const ScratchDirectory directory{scratchPrefix};
    // The change on line 1 leaves the tool at the start without a line.
    directory.write("first.nc", "T1M6\nG0X1.\n");
    const Json first = Json::parse(runCli({"--json", "--dialect", "fanuc", "first.nc"}, directory.path()).out);
    ASSERT_EQ(first["tools"].size(), 2u);
    EXPECT_TRUE(first["tools"][0]["lowestZ"].is_null());
    EXPECT_EQ(first["tools"][0]["firstLine"], 0);
    EXPECT_EQ(first["tools"][1]["lowestZ"], 0.0);

    directory.write("bad.nc", "T1M6\nG0X1.\nG1X1..2F10.\n");
    const CliResult stopped = runCli({"--json", "--dialect", "fanuc", "bad.nc"}, directory.path());
    EXPECT_EQ(stopped.exitStatus, 1);
    EXPECT_TRUE(Json::parse(stopped.out)["tools"].is_null());
    const CliResult text = runCli({"--dialect", "fanuc", "bad.nc"}, directory.path());
    EXPECT_EQ(text.out.find(titles), std::string::npos) << text.out;
}

}  // namespace
}  // namespace drennix::test
