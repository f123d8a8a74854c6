// drennix-cli where tool changes are read: the table of the figures per tool
// after the figures, "tools" in the JSON report, the --tools-csv file and its
// refusals; with the default settings every report stays as it was.
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

constexpr std::string_view scratchPrefix = "drennix-cli-test-";

// T1 cuts 21 (Z10 to Z-1, then X0 to X10); T2 comes in on line 8, rapids 6
// and cuts 8 at F200 and S2000; T1 again cuts 10 back to X0 under H2.
const std::string twoTools =
    "G0X0Y0Z10.\nT1M6\nG43H1\nS1000M3\nG1Z-1.F100.\nX10.\nT2\nM6\nH2\nG0Z5.\nS2000\n"
    "G1Z-3.F200.\nT1M6\nG1X0F100.\nM30\n";

const std::string titles = "工具\tH\t行\t切削距離\t早送距離\t時間\t推定時間\t最低Z\t送り速度\t主軸回転数";

// The report from the column titles on.
std::string tableOf(const std::string& out)
{
    const std::size_t at = out.find(titles);
    return at == std::string::npos ? std::string() : out.substr(at);
}

TEST(cli_tools, the_text_report_ends_with_a_row_per_use_the_totals_and_the_whole)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    const CliResult run = runCli({"--dialect", "fanuc", "part.nc"}, directory.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("工具交換数：3\n" + titles), std::string::npos) << run.out;
    EXPECT_EQ(tableOf(run.out), titles +
                                    "\n"
                                    "開始時\t\t1-1\t0.000\t10.000\t0.0\t\t0.000\t\t\n"
                                    "T1\tH1\t2-7\t21.000\t0.000\t0.2\t\t-1.000\t100\t1000\n"
                                    "T2\tH2\t8-12\t8.000\t6.000\t0.0\t\t-3.000\t200\t2000\n"
                                    "T1\tH2\t13-15\t10.000\t0.000\t0.1\t\t-3.000\t100\t2000\n"
                                    "T1 計\t\t\t31.000\t0.000\t0.3\t\t-3.000\t100\t1000, 2000\n"
                                    "合計\t\t\t39.000\t16.000\t0.4\t\t-3.000\t100, 200\t1000, 2000\n");

    // With the estimate the table follows 推定時間 and fills its column.
    const CliResult estimated = runCli({"--dialect", "fanuc", "--estimate", "part.nc"}, directory.path());
    const std::size_t estimate = estimated.out.find("推定時間：");
    ASSERT_NE(estimate, std::string::npos) << estimated.out;
    EXPECT_EQ(estimated.out.find('\n', estimate) + 1, estimated.out.find(titles)) << estimated.out;
    EXPECT_NE(tableOf(estimated.out).find("\nT1\tH1\t2-7\t21.000\t0.000\t0.2\t0:00:"), std::string::npos);
}

// Nothing of it without the setting, whichever way it is left off.
TEST(cli_tools, without_tool_changes_every_report_is_as_before)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    for (std::vector<std::string> args :
         {std::vector<std::string>{"part.nc"},
          std::vector<std::string>{"--dialect", "fanuc", "--set", "toolChanges=0", "part.nc"}}) {
        EXPECT_EQ(runCli(args, directory.path()).out.find("工具"), std::string::npos);
        args.insert(args.begin(), {"--json", "--estimate"});
        EXPECT_FALSE(Json::parse(runCli(args, directory.path()).out).contains("tools"));
    }
}

TEST(cli_tools, the_json_report_holds_each_use_in_raw_numbers)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    const CliResult run = runCli({"--json", "--dialect", "fanuc", "part.nc"}, directory.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    // The last key of the report.
    EXPECT_EQ(run.out.rfind("\n  \""), run.out.find("\n  \"tools\": [")) << run.out;
    const Json tools = Json::parse(run.out)["tools"];
    ASSERT_EQ(tools.size(), 4u);  // the uses only: the totals are the reader's
    EXPECT_EQ(tools[1], Json::parse(R"({"tool":1,"lengthOffset":1,"firstLine":2,"lastLine":7,"cuttingDistance":21.0,
        "rapidDistance":0.0,"machiningTime":0.21,"estimateSeconds":null,"lowestZ":-1.0,"feeds":[100.0],
        "spindleSpeeds":[1000.0]})"));
    EXPECT_EQ(tools[0]["lengthOffset"], -1);
    EXPECT_EQ(tools[3]["lengthOffset"], 2);

    // With the estimate each use has its seconds, the tool changes' own left out.
    const Json estimated = Json::parse(
        runCli({"--json", "--dialect", "fanuc", "--estimate", "--set", "toolChangeTime=4", "part.nc"}, directory.path())
            .out);
    double seconds = 0;
    for (const Json& tool : estimated["tools"])
        seconds += tool["estimateSeconds"].get<double>();
    EXPECT_NEAR(estimated["estimate"]["seconds"].get<double>() - seconds, 3 * 4.0, 1e-6);

    // A tool that made no move has no lowest Z; a program that changes the
    // tool at once has no row for the tool before; a run that did not finish
    // no tools.
    directory.write("bad.nc", "T1M6\nG0X1.\nG1X1..2F10.\n");
    directory.write("first.nc", "T1M6\nG0X1.\n");
    directory.write("dwell.nc", "G4P100\nT1M6\nG0X1.\n");
    const auto toolsOf = [&](const char* name) {
        return Json::parse(runCli({"--json", "--dialect", "fanuc", name}, directory.path()).out)["tools"];
    };
    EXPECT_EQ(toolsOf("first.nc")[0]["tool"], 1);
    EXPECT_EQ(toolsOf("first.nc").size(), 1u);
    EXPECT_TRUE(toolsOf("dwell.nc")[0]["lowestZ"].is_null());
    const CliResult stopped = runCli({"--json", "--dialect", "fanuc", "bad.nc"}, directory.path());
    EXPECT_EQ(stopped.exitStatus, 1);
    EXPECT_TRUE(Json::parse(stopped.out)["tools"].is_null());
}

TEST(cli_tools, the_csv_file_holds_the_table_with_its_totals)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    const CliResult run = runCli({"--dialect", "fanuc", "--tools-csv", "tools.csv", "part.nc"}, directory.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(readBytes(directory.path() / "tools.csv"),
              "工具,H,行,切削距離,早送距離,時間,推定時間,最低Z,送り速度,主軸回転数\r\n"
              "開始時,,1-1,0.000,10.000,0.0,,0.000,,\r\n"
              "T1,H1,2-7,21.000,0.000,0.2,,-1.000,100,1000\r\n"
              "T2,H2,8-12,8.000,6.000,0.0,,-3.000,200,2000\r\n"
              "T1,H2,13-15,10.000,0.000,0.1,,-3.000,100,2000\r\n"
              "T1 計,,,31.000,0.000,0.3,,-3.000,100,\"1000, 2000\"\r\n"
              "合計,,,39.000,16.000,0.4,,-3.000,\"100, 200\",\"1000, 2000\"\r\n");

    // The setting off: the run tells no table, and the file is empty.
    EXPECT_EQ(runCli({"--tools-csv", "off.csv", "part.nc"}, directory.path()).exitStatus, 0);
    EXPECT_EQ(readBytes(directory.path() / "off.csv"), "");
}

TEST(cli_tools, the_csv_file_is_never_replaced_nor_left_by_a_run_that_did_not_finish)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", twoTools);
    directory.write("tools.csv", "keep");
    const CliResult refused =
        runCli({"--json", "--dialect", "fanuc", "-m", "arcs", "--tools-csv", "tools.csv", "part.nc"}, directory.path());
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "drennix-cli: --tools-csv tools.csv: the file exists; it is not overwritten\n");
    EXPECT_EQ(readBytes(directory.path() / "tools.csv"), "keep");
    EXPECT_FALSE(fs::exists(directory.path() / "part_con.nc"));  // refused before the run

    directory.write("bad.nc", "T1M6\nG0X1.\nG1X1..2F10.\n");
    EXPECT_EQ(runCli({"--dialect", "fanuc", "--tools-csv", "bad.csv", "bad.nc"}, directory.path()).exitStatus, 1);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"bad.nc", "part.nc", "tools.csv"}));
}

}  // namespace
}  // namespace drennix::test
