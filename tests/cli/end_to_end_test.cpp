// The built drennix-cli run on small NC programs: the JSON report, the text
// report, the exit statuses, the files it creates and SIGINT.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"
#include "messages.h"
#include "run_driver.h"

namespace drennix::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const fs::path dataDirectory = DRENNIX_CLI_DATA;
const std::string fffd = "\xEF\xBF\xBD";

const std::vector<std::string> fieldKeys{"lineCount", "machiningTime", "rapidDistance", "cuttingDistance",
                                         "minX", "minY", "minZ", "maxX", "maxY", "maxZ", "arcCount",
                                         "helicalCount", "radiusDifference", "maxRadius"};

std::string dataFile(const std::string& name) { return (dataDirectory / name).string(); }

// Source lines as the run counts them: every line feed ends a line, and the
// text after the last one (empty or not) is one more line.
int sourceLineCount(const fs::path& path)
{
    const std::string bytes = readFileBytes(path);
    return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
}

struct JsonRun {
    CliResult result;
    Json report;
};

JsonRun runJson(std::vector<std::string> args, const fs::path& workingDirectory = {})
{
    args.insert(args.begin(), "--json");
    JsonRun run{runCli(args, workingDirectory), Json()};
    run.report = Json::parse(run.result.out);
    return run;
}

Json message(std::string_view kind, std::string_view text) { return Json{{"kind", kind}, {"text", text}}; }

Json onlyMessage(std::string_view kind, std::string_view text) { return Json::array({message(kind, text)}); }

// Fields left empty by a run that stopped, except 行数.
void expectOnlyLineCount(const Json& fields, const std::string& lineCount)
{
    EXPECT_EQ(fields["lineCount"], lineCount);
    for (const std::string& key : fieldKeys) {
        if (key != "lineCount") {
            EXPECT_EQ(fields[key], "") << key;
        }
    }
}

TEST(cli_end_to_end, clean_program_reports_every_field)
{
    const JsonRun run = runJson({dataFile("clean.nc")});
    EXPECT_EQ(run.result.exitStatus, 0);
    EXPECT_EQ(run.result.err, "");
    EXPECT_EQ(run.report["messages"], onlyMessage("information", messages::calculated));
    const Json& fields = run.report["fields"];
    ASSERT_EQ(fields.size(), fieldKeys.size());
    for (const std::string& key : fieldKeys)
        EXPECT_NE(fields[key], "") << key;
    EXPECT_EQ(fields["lineCount"], std::to_string(sourceLineCount(dataFile("clean.nc"))));
    // The program's own extremes: X 0 to 20, the clockwise half circle over
    // X 10 to 20 bulges to Y 5, Z goes down to -1.
    EXPECT_EQ(fields["maxX"], "20.000");
    EXPECT_EQ(fields["maxY"], "5.000");
    EXPECT_EQ(fields["minZ"], "-1.000");
    EXPECT_EQ(fields["arcCount"], "1");
    EXPECT_EQ(fields["helicalCount"], "0");
    EXPECT_EQ(fields["maxRadius"], "5.000");
    EXPECT_EQ(run.report["rows"], Json::array());
    EXPECT_TRUE(run.report["output"].is_null());
}

TEST(cli_end_to_end, line_count_follows_the_line_ends)
{
    for (const std::string name : {"clean.nc", "crlf_without_final_line_end.nc"}) {
        const JsonRun run = runJson({dataFile(name)});
        EXPECT_EQ(run.result.exitStatus, 0) << name;
        EXPECT_EQ(run.report["fields"]["lineCount"], std::to_string(sourceLineCount(dataFile(name)))) << name;
    }
}

TEST(cli_end_to_end, initial_position_and_decimal_places_reach_the_run)
{
    const JsonRun run = runJson({"-x", "-7.5", "-z", "100", "--set", "decimalPlaces=1", dataFile("clean.nc")});
    EXPECT_EQ(run.result.exitStatus, 0);
    EXPECT_EQ(run.report["fields"]["minX"], "-7.5");
    EXPECT_EQ(run.report["fields"]["maxZ"], "100.0");
}

struct FaultyProgram {
    std::string file;
    int line;
    std::string text;  // after the line number
};

void PrintTo(const FaultyProgram& c, std::ostream* out) { *out << c.file; }

class FaultyProgramTest : public testing::TestWithParam<FaultyProgram> {};

TEST_P(FaultyProgramTest, stops_at_the_line_with_its_message)
{
    const FaultyProgram& program = GetParam();
    const JsonRun run = runJson({dataFile(program.file)});
    EXPECT_EQ(run.result.exitStatus, 1);
    EXPECT_EQ(run.report["messages"], onlyMessage("warning", composeLineMessage(program.line, program.text)));
    expectOnlyLineCount(run.report["fields"], std::to_string(program.line));
    EXPECT_TRUE(run.report["output"].is_null());
}

INSTANTIATE_TEST_SUITE_P(
    cli_end_to_end, FaultyProgramTest,
    testing::Values(FaultyProgram{"comment_without_end.nc", 3, messages::commentWithoutEnd("(", ")")},
                    FaultyProgram{"byte_outside_printable_ascii.nc", 2, std::string(messages::invalidCharacter)},
                    FaultyProgram{"number_with_two_points.nc", 3, std::string(messages::twoPoints)},
                    FaultyProgram{"address_without_number.nc", 2, messages::addressWithoutNumber("X")},
                    FaultyProgram{"number_without_address.nc", 4, std::string(messages::numberWithoutAddress)}));

struct InputCheck {
    std::string name;
    std::vector<std::string> args;
    std::string_view text;
};

void PrintTo(const InputCheck& c, std::ostream* out) { *out << c.name; }

class InputCheckTest : public testing::TestWithParam<InputCheck> {};

TEST_P(InputCheckTest, refused_before_reading_with_every_field_empty)
{
    const JsonRun run = runJson(GetParam().args);
    EXPECT_EQ(run.result.exitStatus, 1);
    EXPECT_EQ(run.report["messages"], onlyMessage("warning", GetParam().text));
    expectOnlyLineCount(run.report["fields"], "");
}

INSTANTIATE_TEST_SUITE_P(
    cli_end_to_end, InputCheckTest,
    testing::Values(InputCheck{"tolerance_zero", {"-t", "0", dataFile("clean.nc")}, messages::toleranceOutOfRange},
                    InputCheck{"no_source", {""}, messages::noSourceSelected},
                    InputCheck{"empty_suffix", {"-s", "", dataFile("clean.nc")}, messages::noSuffix},
                    InputCheck{"missing_source", {"-m", "helical", dataFile("no_such_program.nc")}, messages::sourceMissing}));

class UsageExitTest : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(UsageExitTest, prints_one_line_on_stderr_and_nothing_on_stdout)
{
    const CliResult result = runCli(GetParam());
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.err.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(cli_end_to_end, UsageExitTest,
                         testing::Values(std::vector<std::string>{"--json"},
                                         std::vector<std::string>{"--json", "-t", "2", dataFile("clean.nc")},
                                         std::vector<std::string>{"--json", "-x", "nan", dataFile("clean.nc")},
                                         std::vector<std::string>{"--json", "--frobnicate", dataFile("clean.nc")},
                                         std::vector<std::string>{"--set", "copyItems=3", dataFile("clean.nc")},
                                         std::vector<std::string>{"--json", "--set", "xAxisLetter=\xB1",
                                                                  dataFile("clean.nc")}));

TEST(cli_end_to_end, invalid_settings_print_exactly_the_validation_text)
{
    const CliResult result =
        runCli({"--json", "--set", "zAxisLetter=", "--set", "rapidSpeed=5", dataFile("clean.nc")});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Z軸指令 を入力して下さい。\n");
}

TEST(cli_end_to_end, absolute_mode_lists_every_line_with_the_source_decoded)
{
    const std::string source = dataFile("japanese_comments.nc");
    const JsonRun run = runJson({"-m", "absolute", "-x", "1.5", "-y", "-2", source});
    EXPECT_EQ(run.result.exitStatus, 0);
    const Json& rows = run.report["rows"];
    const int lines = sourceLineCount(source);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(lines) + 1);
    EXPECT_EQ(rows[0], Json::array({"開始位置", "", "1.500", "-2.000", "0.000", "", "", "", "", "", ""}));
    for (int i = 1; i <= lines; ++i) {
        ASSERT_EQ(rows[i].size(), 11u);
        EXPECT_EQ(rows[i][0], std::to_string(i));
    }
    EXPECT_EQ(rows[1][1], "(漢字 ｱﾙﾐ)");
    // The 98-byte cut leaves the first byte of 漢 alone.
    EXPECT_EQ(rows[2][1], "G0X1.(" + std::string(91, 'A') + fffd);
    EXPECT_EQ(rows[2][2], "1.000");
    EXPECT_EQ(rows[3][1], "G1 Y2. F100.");
    EXPECT_EQ(rows[lines][1], "");  // the empty line after the last line end
}

TEST(cli_end_to_end, absolute_mode_stops_listing_at_the_row_limit_but_reads_on)
{
    TemporaryDirectory directory;
    const fs::path source = directory.path() / "long.nc";
    std::string program;
    for (int i = 1; i <= 150; ++i)
        program += "G1 X" + std::to_string(i) + ". F100.\n";
    writeFileBytes(source, program);

    const JsonRun run = runJson({"-m", "1", "--set", "absoluteDisplayRows=99", source.string()});
    EXPECT_EQ(run.result.exitStatus, 0);
    EXPECT_EQ(run.report["rows"].size(), 100u);
    EXPECT_EQ(run.report["rows"].back()[0], "99");
    EXPECT_EQ(run.report["fields"]["lineCount"], "151");
    EXPECT_EQ(run.report["fields"]["maxX"], "150.000");
}

TEST(cli_end_to_end, absolute_mode_keeps_the_rows_before_a_rejected_line)
{
    const JsonRun run = runJson({"--mode", "absolute", dataFile("byte_outside_printable_ascii.nc")});
    EXPECT_EQ(run.result.exitStatus, 1);
    ASSERT_EQ(run.report["rows"].size(), 2u);
    EXPECT_EQ(run.report["rows"][1][0], "1");
}

// A copy of a test program in a fresh directory, so that converting runs
// never write next to the test data.
struct ProgramCopy {
    TemporaryDirectory directory;
    std::string bytes;

    explicit ProgramCopy(const std::string& name) : bytes(readFileBytes(dataFile(name)))
    {
        writeFileBytes(directory.path() / "part.nc", bytes);
    }
};

TEST(cli_end_to_end, converting_run_creates_the_file_beside_a_relative_source)
{
    ProgramCopy copy("helical.nc");
    const JsonRun run = runJson({"-m", "helical", "part.nc"}, copy.directory.path());
    EXPECT_EQ(run.result.exitStatus, 0);
    EXPECT_EQ(run.report["output"], "part_con.nc");
    EXPECT_EQ(run.report["messages"].back(),
              message("information", "part_con.nc" + std::string(messages::outputCreatedTail)));

    const std::string output = readFileBytes(copy.directory.path() / "part_con.nc");
    const auto lineFeeds = std::count(output.begin(), output.end(), '\n');
    EXPECT_GT(lineFeeds, sourceLineCount(dataFile("helical.nc")));  // the helix became several lines
    EXPECT_EQ(std::count(output.begin(), output.end(), '\r'), lineFeeds);
    EXPECT_NE(output.find("\r\n"), std::string::npos);
    EXPECT_EQ(output.substr(output.size() - 2), "\r\n");
    EXPECT_EQ(run.report["fields"]["lineCount"], std::to_string(lineFeeds));  // lines written
    EXPECT_EQ(run.report["fields"]["helicalCount"], "1");
    EXPECT_EQ(readFileBytes(copy.directory.path() / "part.nc"), copy.bytes);
}

TEST(cli_end_to_end, an_existing_output_file_is_never_overwritten)
{
    ProgramCopy copy("helical.nc");
    const fs::path existing = copy.directory.path() / "part_con.nc";
    writeFileBytes(existing, "keep me\n");

    const JsonRun run = runJson({"-m", "arcs", "part.nc"}, copy.directory.path());
    EXPECT_EQ(run.result.exitStatus, 1);
    EXPECT_EQ(run.report["messages"],
              onlyMessage("warning", std::string(messages::outputExistsHead) + "part_con.nc" +
                                         std::string(messages::outputExistsTail)));
    EXPECT_TRUE(run.report["output"].is_null());
    EXPECT_EQ(readFileBytes(existing), "keep me\n");
    EXPECT_EQ(readFileBytes(copy.directory.path() / "part.nc"), copy.bytes);
}

TEST(cli_end_to_end, helical_mode_without_helicals_converts_nothing)
{
    ProgramCopy copy("clean.nc");
    const JsonRun run = runJson({"-m", "helical", "-s", ".new", "part.nc"}, copy.directory.path());
    EXPECT_EQ(run.result.exitStatus, 0);
    EXPECT_EQ(run.report["messages"], onlyMessage("information", messages::nothingConverted));
    EXPECT_TRUE(run.report["output"].is_null());
    EXPECT_FALSE(fs::exists(copy.directory.path() / "part.new.nc"));

    const JsonRun arcs = runJson({"-m", "arcs", "-s", ".new", "part.nc"}, copy.directory.path());
    EXPECT_EQ(arcs.result.exitStatus, 0);
    EXPECT_EQ(arcs.report["output"], "part.new.nc");
    EXPECT_TRUE(fs::exists(copy.directory.path() / "part.new.nc"));
}

TEST(cli_end_to_end, text_mode_prints_messages_on_stderr_and_fields_on_stdout)
{
    const CliResult faulty = runCli({dataFile("number_with_two_points.nc")});
    EXPECT_EQ(faulty.exitStatus, 1);
    EXPECT_EQ(faulty.err, "[warning] " + composeLineMessage(3, messages::twoPoints) + "\n");
    EXPECT_NE(faulty.out.find("行数：3\n"), std::string::npos) << faulty.out;
    EXPECT_NE(faulty.out.find("時間：\n"), std::string::npos) << faulty.out;

    const CliResult absolute = runCli({"-m", "absolute", dataFile("clean.nc")});
    EXPECT_EQ(absolute.exitStatus, 0);
    EXPECT_EQ(absolute.err, "[information] " + std::string(messages::calculated) + "\n");
    EXPECT_NE(absolute.out.find("最大X：20.000\n"), std::string::npos) << absolute.out;
    EXPECT_NE(absolute.out.find("行\tデータ\tＸ\tＹ\tＺ\t半径\t始角\t終角\tＲ差\t \t移動距離\n開始位置\t\t0.000\t"),
              std::string::npos)
        << absolute.out;
}

TEST(cli_end_to_end, real_programs_give_a_valid_report_and_a_matching_status)
{
    const char* fromEnvironment = std::getenv("DRENNIX_CORPUS");
    const fs::path corpus = fromEnvironment != nullptr ? fs::path(fromEnvironment) : fs::path(DRENNIX_CLI_CORPUS);
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "the corpus of real NC programs is not there";
    int programs = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        ++programs;
        const std::string name = entry.path().filename().string();
        const CliResult result = runCli({"--json", "-m", "absolute", entry.path().string()});
        Json report;
        ASSERT_NO_THROW(report = Json::parse(result.out)) << name;  // strict UTF-8 as well
        ASSERT_FALSE(report["messages"].empty()) << name;
        const bool finished = report["messages"].back()["kind"] == "information";
        EXPECT_EQ(result.exitStatus, finished ? 0 : 1) << name;
        EXPECT_GE(report["rows"].size(), 1u) << name;  // at least the start row
        for (const Json& row : report["rows"])
            ASSERT_EQ(row.size(), 11u) << name;
    }
    EXPECT_GT(programs, 0);
}

TEST(cli_end_to_end, a_report_that_cannot_be_written_is_not_a_success)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "needs /dev/full";
    const CliResult result = CliProcess({"--json", dataFile("clean.nc")}, {}, "/dev/full").wait();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("drennix-cli: "), std::string::npos) << result.err;
}

// True once the process has a handler for `signal` (Linux: the SigCgt mask
// of /proc/PID/status); false when it ended first or /proc is not there.
bool waitForSignalHandler(pid_t pid, int signal)
{
    const fs::path status = fs::path("/proc") / std::to_string(pid) / "status";
    for (;;) {
        std::ifstream in(status);
        if (!in)
            return false;
        std::string line;
        unsigned long long caught = 0;
        bool zombie = false;
        while (std::getline(in, line)) {
            if (line.rfind("SigCgt:", 0) == 0)
                caught = std::stoull(line.substr(7), nullptr, 16);
            if (line.rfind("State:", 0) == 0)
                zombie = line.find('Z') != std::string::npos;
        }
        if (zombie)
            return false;
        if (caught & (1ULL << (signal - 1)))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(cli_end_to_end, sigint_plays_the_escape_key)
{
    if (!fs::exists("/proc/self/status"))
        GTEST_SKIP() << "needs /proc to see when the interrupt handler is in place";
    // A program long enough that the run is still reading when the
    // interrupt arrives.
    TemporaryDirectory directory;
    const fs::path source = directory.path() / "long.nc";
    const int programLines = 1000000;
    {
        std::string program;
        program.reserve(static_cast<std::size_t>(programLines) * 13);
        for (int i = 0; i < programLines; ++i)
            program += "G1 X1. F100.\n";
        writeFileBytes(source, program);
    }
    CliProcess cli({"--json", source.string()});
    ASSERT_TRUE(waitForSignalHandler(cli.pid(), SIGINT));
    ASSERT_EQ(kill(cli.pid(), SIGINT), 0);

    const CliResult result = cli.wait();
    EXPECT_EQ(result.exitStatus, 130);
    const Json report = Json::parse(result.out);
    EXPECT_EQ(report["messages"], onlyMessage("warning", messages::escapeWhileReading));
    const int linesFinished = std::stoi(report["fields"]["lineCount"].get<std::string>());
    EXPECT_LT(linesFinished, programLines);
    expectOnlyLineCount(report["fields"], std::to_string(linesFinished));
}

}  // namespace
}  // namespace drennix::test
