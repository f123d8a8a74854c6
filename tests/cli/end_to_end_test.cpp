// The built drennix-cli run on small NC programs: the JSON report, the text
// report, the exit statuses, the files it creates and SIGINT.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli_process.h"
#include "messages.h"
#include "run_driver.h"
#include "scratch_directory.h"

namespace drennix::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const fs::path dataDirectory = DRENNIX_CLI_DATA;
const std::string fffd = "\xEF\xBF\xBD";

std::string dataFile(const std::string& name)
{
    return (dataDirectory / name).string();
}

using drennix::testing::readBytes;
using drennix::testing::ScratchDirectory;

// The prefix of the test's temporary directories.
constexpr std::string_view scratchPrefix = "drennix-cli-test-";

// Source lines as the run counts them: every line feed ends a line, and the
// text after the last one (empty or not) is one more line.
std::string sourceLineCount(const fs::path& path)
{
    const std::string bytes = readBytes(path);
    return std::to_string(std::count(bytes.begin(), bytes.end(), '\n') + 1);
}

CliResult runJson(std::vector<std::string> args, const fs::path& directory = {})
{
    args.insert(args.begin(), "--json");
    CliResult result = runCli(args, directory);
    result.report = Json::parse(result.out);
    return result;
}

Json onlyMessage(std::string_view kind, std::string_view text)
{
    return Json::array({Json{{"kind", kind}, {"text", text}}});
}

// A stopped run leaves every field empty except 行数.
void expectOnlyLineCount(const Json& fields, const std::string& lineCount)
{
    EXPECT_EQ(fields.size(), 14u);
    for (const auto& [key, value] : fields.items())
        EXPECT_EQ(value, key == "lineCount" ? lineCount : "") << key;
}

TEST(cli_end_to_end, clean_program_reports_every_field)
{
    const CliResult run = runJson({dataFile("clean.nc")});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.report["messages"], onlyMessage("information", messages::calculated));
    const Json& fields = run.report["fields"];
    EXPECT_EQ(fields.size(), 14u);
    for (const auto& [key, value] : fields.items())
        EXPECT_NE(value, "") << key;
    EXPECT_EQ(fields["lineCount"], sourceLineCount(dataFile("clean.nc")));
    // X 0 to 20, the clockwise half circle over X 10 to 20 bulges to Y 5, Z goes down to -1.
    EXPECT_EQ(fields["maxX"], "20.000");
    EXPECT_EQ(fields["maxY"], "5.000");
    EXPECT_EQ(fields["minZ"], "-1.000");
    EXPECT_EQ(fields["arcCount"], "1");
    EXPECT_EQ(fields["helicalCount"], "0");
    EXPECT_EQ(fields["maxRadius"], "5.000");
    EXPECT_EQ(run.report["rows"], Json::array());
    EXPECT_TRUE(run.report["output"].is_null());

    const std::string crlf = dataFile("crlf_without_final_line_end.nc");
    EXPECT_EQ(runJson({crlf}).report["fields"]["lineCount"], sourceLineCount(crlf));
}

TEST(cli_end_to_end, a_stopped_run_gives_one_warning_and_only_the_line_count)
{
    const std::string clean = dataFile("clean.nc");
    const auto at = [](int line, std::string_view text) { return composeLineMessage(line, text); };
    struct Case {
        std::vector<std::string> args;
        std::string text;
        std::string lineCount;
    };
    const std::vector<Case> cases{
        // A fault in the program stops the run at its line.
        {{dataFile("comment_without_end.nc")}, at(3, messages::commentWithoutEnd("(", ")")), "3"},
        {{dataFile("byte_outside_printable_ascii.nc")}, at(2, messages::invalidCharacter), "2"},
        {{dataFile("number_with_two_points.nc")}, at(3, messages::twoPoints), "3"},
        {{dataFile("address_without_number.nc")}, at(2, messages::addressWithoutNumber("X")), "2"},
        {{dataFile("number_without_address.nc")}, at(4, messages::numberWithoutAddress), "4"},
        // The input checks refuse before reading.
        {{"-t", "0", clean}, std::string(messages::toleranceOutOfRange), ""},
        {{""}, std::string(messages::noSourceSelected), ""},
        {{"-s", "", clean}, std::string(messages::noSuffix), ""},
        {{"-m", "helical", dataFile("no_such_program.nc")}, std::string(messages::sourceMissing), ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CliResult run = runJson(c.args);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.report["messages"], onlyMessage("warning", c.text));
        expectOnlyLineCount(run.report["fields"], c.lineCount);
        EXPECT_TRUE(run.report["output"].is_null());
    }
}

TEST(cli_end_to_end, usage_errors_print_one_line_on_stderr_and_nothing_on_stdout)
{
    const std::string clean = dataFile("clean.nc");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--json", "--set", "zAxisLetter=", "--set", "rapidSpeed=5", clean}, "Z軸指令 を入力して下さい。\n"},
        {{"--set", "\xB1=1", clean},
         "drennix-cli: --set: unknown setting '" + fffd + "' (see --help for the names)\n"}};
    for (const auto& [args, err] : cases) {
        const CliResult result = runCli(args);
        EXPECT_EQ(result.exitStatus, 2) << err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, err);
    }
}

TEST(cli_end_to_end, absolute_mode_lists_every_line_with_the_source_decoded)
{
    const std::string source = dataFile("japanese_comments.nc");
    const CliResult run = runJson({"-m", "absolute", "-x", "1.5", "-y", "-2", source});
    EXPECT_EQ(run.exitStatus, 0);
    const Json& rows = run.report["rows"];
    const int lines = std::stoi(sourceLineCount(source));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(lines) + 1);
    EXPECT_EQ(rows[0], Json::array({"開始位置", "", "1.500", "-2.000", "0.000", "", "", "", "", "", ""}));
    for (int i = 1; i <= lines; ++i) {
        ASSERT_EQ(rows[i].size(), 11u);
        EXPECT_EQ(rows[i][0], std::to_string(i));
    }
    EXPECT_EQ(rows[1][1], "(漢字 ｱﾙﾐ)");
    EXPECT_EQ(rows[2][1], "G0X1.(" + std::string(91, 'A') + fffd);  // the 98-byte cut leaves the first byte of 漢
    EXPECT_EQ(rows[2][2], "1.000");
    EXPECT_EQ(rows[3][1], "G1 Y2. F100.");
    EXPECT_EQ(rows[lines][1], "");  // the empty line after the last line end

    const CliResult stopped = runJson({"--mode", "absolute", dataFile("byte_outside_printable_ascii.nc")});
    EXPECT_EQ(stopped.exitStatus, 1);
    ASSERT_EQ(stopped.report["rows"].size(), 2u);  // the rows before the rejected line stay
    EXPECT_EQ(stopped.report["rows"][1][0], "1");
}

TEST(cli_end_to_end, absolute_mode_stops_listing_at_the_row_limit_but_reads_on)
{
    const ScratchDirectory directory{scratchPrefix};
    std::string program;
    for (int i = 1; i <= 150; ++i)
        program += "G1 X" + std::to_string(i) + ". F100.\n";
    const fs::path source = directory.write("long.nc", program);

    const CliResult run = runJson({"-m", "1", "--set", "absoluteDisplayRows=99", source.string()});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.report["rows"].size(), 100u);
    EXPECT_EQ(run.report["rows"].back()[0], "99");
    EXPECT_EQ(run.report["fields"]["lineCount"], "151");
    EXPECT_EQ(run.report["fields"]["maxX"], "150.000");
}

TEST(cli_end_to_end, converting_runs_write_a_new_file_beside_the_source_and_never_overwrite_one)
{
    // A copy of the program in a fresh directory: the runs never write next to the test data.
    const ScratchDirectory directory{scratchPrefix};
    const std::string sourceBytes = readBytes(dataFile("helical.nc"));
    const fs::path source = directory.write("part.nc", sourceBytes);
    const CliResult run = runJson({"-m", "helical", "part.nc"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.report["output"], "part_con.nc");
    EXPECT_EQ(run.report["messages"].back(),
              (Json{{"kind", "information"}, {"text", "part_con.nc" + std::string(messages::outputCreatedTail)}}));
    const std::string output = readBytes(directory.path() / "part_con.nc");
    const auto lineFeeds = std::count(output.begin(), output.end(), '\n');
    EXPECT_GT(lineFeeds, std::stoi(sourceLineCount(source)));  // the helix became several lines
    EXPECT_EQ(std::count(output.begin(), output.end(), '\r'), lineFeeds);
    EXPECT_EQ(output.substr(output.size() - 2), "\r\n");
    EXPECT_EQ(run.report["fields"]["lineCount"], std::to_string(lineFeeds));  // lines written
    EXPECT_EQ(run.report["fields"]["helicalCount"], "1");

    const CliResult again = runJson({"-m", "arcs", "part.nc"}, directory.path());
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_EQ(again.report["messages"], onlyMessage("warning", std::string(messages::outputExistsHead) + "part_con.nc" +
                                                                   std::string(messages::outputExistsTail)));
    EXPECT_TRUE(again.report["output"].is_null());
    EXPECT_EQ(readBytes(directory.path() / "part_con.nc"), output);
    EXPECT_EQ(readBytes(source), sourceBytes);

    // Without helicals the helical mode writes nothing; the suffix goes before the last '.'.
    directory.write("part.nc", readBytes(dataFile("clean.nc")));
    const CliResult none = runJson({"-m", "helical", "-s", ".new", "part.nc"}, directory.path());
    EXPECT_EQ(none.exitStatus, 0);
    EXPECT_EQ(none.report["messages"], onlyMessage("information", messages::nothingConverted));
    EXPECT_TRUE(none.report["output"].is_null());
    EXPECT_FALSE(fs::exists(directory.path() / "part.new.nc"));
    const CliResult arcs = runJson({"-m", "arcs", "-s", ".new", "part.nc"}, directory.path());
    EXPECT_EQ(arcs.exitStatus, 0);
    EXPECT_EQ(arcs.report["output"], "part.new.nc");
    EXPECT_TRUE(fs::exists(directory.path() / "part.new.nc"));
}

// --plot writes its picture only after a finished run, in every mode, and
// never over an existing file: that is refused before the run.
TEST(cli_end_to_end, plot_writes_a_picture_after_a_finished_run_and_never_replaces_a_file)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", readBytes(dataFile("helical.nc")));
    for (const char* mode : {"time", "absolute", "helical", "arcs"}) {
        const std::string picture = std::string(mode) + ".svg";
        const CliResult run = runCli({"-m", mode, "--plot", picture, "--view", "iso", "part.nc"}, directory.path());
        EXPECT_EQ(run.exitStatus, 0) << mode << run.err;
        const std::string svg = readBytes(directory.path() / picture);
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u) << mode;
        EXPECT_NE(svg.find("<polyline class=\"cutting\""), std::string::npos) << mode;
        EXPECT_EQ(svg.substr(svg.size() - 8), "</svg>\r\n") << mode;
        fs::remove(directory.path() / "part_con.nc");
    }

    // Taken: one line on standard error, status 2, no run, the file as it was.
    directory.write("taken.svg", "mine");
    const CliResult taken = runCli({"--plot", "taken.svg", "part.nc"}, directory.path());
    EXPECT_EQ(taken.exitStatus, 2);
    EXPECT_EQ(taken.err, "drennix-cli: --plot taken.svg: the file exists and is not replaced\n");
    EXPECT_EQ(taken.out, "");
    EXPECT_EQ(readBytes(directory.path() / "taken.svg"), "mine");

    // A rejected run writes nothing, nor does its hidden file remain.
    directory.write("bad.nc", readBytes(dataFile("number_with_two_points.nc")));
    const CliResult rejected = runCli({"--plot", "bad.svg", "bad.nc"}, directory.path());
    EXPECT_EQ(rejected.exitStatus, 1);
    EXPECT_FALSE(fs::exists(directory.path() / "bad.svg"));
    for (const fs::directory_entry& entry : fs::directory_iterator(directory.path()))
        EXPECT_EQ(entry.path().filename().string().find(".bad.svg"), std::string::npos) << entry.path();

    const CliResult badView = runCli({"--plot", "x.svg", "--view", "top", "part.nc"}, directory.path());
    EXPECT_EQ(badView.exitStatus, 2);
    EXPECT_EQ(badView.err, "drennix-cli: --view: 'top' is not one of xy, xz, yz, iso\n");
}

TEST(cli_end_to_end, text_mode_prints_messages_on_stderr_and_fields_on_stdout)
{
    const CliResult faulty = runCli({dataFile("number_with_two_points.nc")});
    EXPECT_EQ(faulty.exitStatus, 1);
    EXPECT_EQ(faulty.err, "[warning] " + composeLineMessage(3, messages::twoPoints) + "\n");
    EXPECT_NE(faulty.out.find("行数：3\n時間：\n"), std::string::npos) << faulty.out;

    const CliResult absolute = runCli({"-m", "absolute", dataFile("clean.nc")});
    EXPECT_EQ(absolute.exitStatus, 0);
    EXPECT_EQ(absolute.err, "[information] " + std::string(messages::calculated) + "\n");
    EXPECT_NE(absolute.out.find("行\tデータ\tＸ\tＹ\tＺ\t半径\t始角\t終角\tＲ差\t \t移動距離\n開始位置\t\t0.000\t"),
              std::string::npos)
        << absolute.out;
}

// A straight move, a helical arc in G17 and a flat arc in G18 away from Y 0.
const std::string movesProgram =
    "G90 G17 G0 X10. Y0. Z1.\nG1 Z0. F100.\nG3 X-10. Y0. Z-2. I-10. J0.\nG1 Y3.\nG18 G2 X-20. Z-2. I-5. K0.\n";

std::vector<Json> jsonLines(const std::string& bytes)
{
    std::vector<Json> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(Json::parse(bytes.substr(start, end - start)));
    EXPECT_EQ(start, bytes.size()) << "every line ends with CR LF";
    return lines;
}

TEST(cli_end_to_end, moves_file_holds_each_evaluated_move_as_a_json_line)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", movesProgram);
    const CliResult run = runJson({"-m", "arcs", "--moves", "moves.jsonl", "part.nc"}, directory.path());
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<Json> moves = jsonLines(readBytes(directory.path() / "moves.jsonl"));
    ASSERT_EQ(moves.size(), 5u);
    EXPECT_EQ(moves[0], Json::parse(R"({"line":1,"kind":"rapid","helical":false,"start":[0.0,0.0,0.0],)"
                                    R"("end":[10.0,0.0,1.0],"feed":0.0})"));
    EXPECT_EQ(moves[1]["kind"], "linear");
    EXPECT_EQ(moves[1]["feed"], 100.0);
    EXPECT_FALSE(moves[1].contains("converted"));

    const Json& helix = moves[2];
    EXPECT_EQ(helix["line"], 3);
    EXPECT_EQ(helix["kind"], "ccw");
    EXPECT_EQ(helix["helical"], true);
    EXPECT_EQ(helix["centre"], Json::parse("[0.0, 0.0, 0.0]"));
    EXPECT_EQ(helix["radius"], 10.0);
    EXPECT_EQ(helix["startAngle"], 0.0);
    EXPECT_NEAR(helix["endAngle"].get<double>(), 180.0, 1e-9);
    EXPECT_GT(helix["length"].get<double>(), std::acos(-1.0) * 10);
    EXPECT_EQ(helix["converted"], true);

    // In G18 the angles run from Z towards X; the centre's Y is the start's.
    const Json& flat = moves[4];
    EXPECT_EQ(flat["kind"], "cw");
    EXPECT_EQ(flat["helical"], false);
    EXPECT_EQ(flat["centre"], Json::parse("[-15.0, 3.0, -2.0]"));
    EXPECT_NEAR(flat["startAngle"].get<double>(), 90.0, 1e-9);
    EXPECT_NEAR(std::fabs(flat["endAngle"].get<double>() - 90.0), 180.0, 1e-9);
    EXPECT_EQ(flat["converted"], true);

    // The segments of the moves are the lines the check read back.
    const Json& verification = run.report["verification"];
    EXPECT_EQ(verification["arcs"], 2);
    EXPECT_EQ(verification["lines"], helix["segments"].get<long long>() + flat["segments"].get<long long>());
    EXPECT_LE(verification["maxDeviation"].get<double>(), 0.01 + std::sqrt(3.0) / 2 * 0.001);
    EXPECT_EQ(verification["maxEndError"], 0.0);

    // A run that converts nothing has no check, and its moves no conversion.
    const CliResult time = runJson({"--moves", "time.jsonl", "part.nc"}, directory.path());
    EXPECT_EQ(time.exitStatus, 0);
    EXPECT_TRUE(time.report["verification"].is_null());
    for (const Json& move : jsonLines(readBytes(directory.path() / "time.jsonl")))
        EXPECT_FALSE(move.contains("converted")) << move;
}

TEST(cli_end_to_end, converting_run_prints_the_check_after_the_fields)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", movesProgram);
    const CliResult run = runCli({"-m", "arcs", "part.nc"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    const std::size_t check = run.out.find("最大R：10.000\n変換円弧数：2\n変換後行数：");
    ASSERT_NE(check, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n最大偏差行：5\n最大終点誤差：0.000\n", check), std::string::npos) << run.out;
    // Nothing written, nothing checked.
    const CliResult again = runCli({"-m", "arcs", "part.nc"}, directory.path());
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_EQ(again.out.find("変換円弧数"), std::string::npos);
}

TEST(cli_end_to_end, moves_file_is_never_overwritten_nor_left_by_a_rejected_run)
{
    const ScratchDirectory directory{scratchPrefix};
    directory.write("part.nc", movesProgram);
    directory.write("moves.jsonl", "keep");
    const CliResult refused = runCli({"--json", "-m", "arcs", "--moves", "moves.jsonl", "part.nc"}, directory.path());
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_EQ(readBytes(directory.path() / "moves.jsonl"), "keep");
    EXPECT_FALSE(fs::exists(directory.path() / "part_con.nc"));  // refused before the run

    directory.write("bad.nc", "G0 X1.\nG1 X1..2 F100.\nG0 X2.\n");
    for (const std::string mode : {"time", "arcs"}) {
        const CliResult rejected = runCli({"-m", mode, "--moves", "bad.jsonl", "bad.nc"}, directory.path());
        EXPECT_EQ(rejected.exitStatus, 1);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"bad.nc", "moves.jsonl", "part.nc"})) << mode;
    }
}

TEST(cli_end_to_end, real_programs_give_a_valid_report_and_a_matching_status)
{
    const char* fromEnvironment = std::getenv("DRENNIX_CORPUS");
    const fs::path corpus = fromEnvironment != nullptr ? fs::path(fromEnvironment) : fs::path(DRENNIX_CLI_CORPUS);
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "the corpus of real NC programs is not there";
    int programs = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
        ++programs;
        SCOPED_TRACE(entry.path().filename().string());
        const CliResult result = runCli({"--json", "-m", "absolute", entry.path().string()});
        Json report;
        ASSERT_NO_THROW(report = Json::parse(result.out));  // strict UTF-8 as well
        ASSERT_FALSE(report["messages"].empty());
        EXPECT_EQ(result.exitStatus, report["messages"].back()["kind"] == "information" ? 0 : 1);
        EXPECT_GE(report["rows"].size(), 1u);  // at least the start row
        for (const Json& row : report["rows"])
            ASSERT_EQ(row.size(), 11u);
    }
    EXPECT_GT(programs, 0);
}

// The UTF-8 text of a path, built without the engine's own conversion.
std::string utf8Text(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A folder and a file named in Japanese, by a relative and by an absolute
// name: the same report as for a source named in ASCII, the new program
// beside the source under the name the report gives, with the same bytes,
// and the text report's message in UTF-8 with LF line ends.
TEST(cli_end_to_end, a_program_in_a_folder_named_in_japanese_runs_in_every_mode)
{
    const ScratchDirectory directory{scratchPrefix};
    const std::string program = readBytes(dataFile("helical.nc"));
    directory.write("part.nc", program);
    const fs::path folder = directory.path() / std::u8string(u8"加工");
    const fs::path source = folder / std::u8string(u8"ﾃｽﾄ.nc");
    const fs::path converted = folder / std::u8string(u8"ﾃｽﾄ_con.nc");
    ASSERT_TRUE(fs::create_directory(folder));
    std::ofstream(source, std::ios::binary) << program;
    for (const std::string mode : {"time", "absolute", "helical", "arcs"}) {
        SCOPED_TRACE(mode);
        const bool converting = mode == "helical" || mode == "arcs";
        const CliResult reference = runJson({"-m", mode, "part.nc"}, directory.path());
        const std::string referenceOutput = readBytes(directory.path() / "part_con.nc");
        fs::remove(directory.path() / "part_con.nc");
        EXPECT_EQ(referenceOutput.empty(), !converting);

        const CliResult relative = runJson({"-m", mode, "加工/ﾃｽﾄ.nc"}, directory.path());
        EXPECT_EQ(relative.exitStatus, 0);
        EXPECT_EQ(relative.err, "");
        EXPECT_EQ(relative.report["fields"], reference.report["fields"]);
        EXPECT_EQ(relative.report["rows"], reference.report["rows"]);
        if (converting) {
            EXPECT_EQ(relative.report["output"], "加工/ﾃｽﾄ_con.nc");
            EXPECT_EQ(relative.report["messages"].back()["text"],
                      "加工/ﾃｽﾄ_con.nc" + std::string(messages::outputCreatedTail));
            EXPECT_EQ(readBytes(converted), referenceOutput);
            fs::remove(converted);
        } else {
            EXPECT_EQ(relative.report["messages"], onlyMessage("information", messages::calculated));
        }

        const CliResult absolute = runCli({"-m", mode, utf8Text(source)});
        EXPECT_EQ(absolute.exitStatus, 0);
        EXPECT_EQ(absolute.err,
                  converting ? "[information] " + utf8Text(converted) + std::string(messages::outputCreatedTail) + "\n"
                             : "[information] " + std::string(messages::calculated) + "\n");
        EXPECT_EQ(absolute.out.find('\r'), std::string::npos);
        if (converting) {
            EXPECT_EQ(readBytes(converted), referenceOutput);
            fs::remove(converted);
        }
    }
    EXPECT_EQ(readBytes(source), program);
}

#if !defined(_WIN32)
// Linux only from here on: a full device, file-size limits and signals.

TEST(cli_end_to_end, a_report_that_cannot_be_written_is_not_a_success)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "needs /dev/full";
    const CliResult result = CliProcess({"--json", dataFile("clean.nc")}, {}, "/dev/full").wait();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("drennix-cli: "), std::string::npos) << result.err;
}

// While it lives, processes started from this one get a file-size limit of
// `bytes` and ignore SIGXFSZ, so a write past the limit fails with EFBIG
// instead of killing them. This process gets its own limit and signal
// disposition back at the end.
class ChildFileSizeLimit {
public:
    explicit ChildFileSizeLimit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &saved_) != 0 || (saved_.rlim_max != RLIM_INFINITY && saved_.rlim_max < bytes))
            return;
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        if (sigaction(SIGXFSZ, &ignore, &savedAction_) != 0) return;
        const rlimit lowered{bytes, saved_.rlim_max};
        if (setrlimit(RLIMIT_FSIZE, &lowered) != 0) {
            sigaction(SIGXFSZ, &savedAction_, nullptr);
            return;
        }
        active_ = true;
    }
    ~ChildFileSizeLimit()
    {
        if (!active_) return;
        setrlimit(RLIMIT_FSIZE, &saved_);
        sigaction(SIGXFSZ, &savedAction_, nullptr);
    }
    ChildFileSizeLimit(const ChildFileSizeLimit&) = delete;
    ChildFileSizeLimit& operator=(const ChildFileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit saved_{};
    struct sigaction savedAction_ {};
    bool active_ = false;
};

TEST(cli_end_to_end, a_new_program_that_cannot_be_written_is_reported_and_not_created)
{
    const ScratchDirectory directory{scratchPrefix};
    const fs::path source = directory.write("part.nc", readBytes(dataFile("helical.nc")));
    // The fine tolerance makes the new program several times the limit;
    // the report on stdout and the message on stderr stay far below it.
    const rlim_t limit = 4096;
    std::optional<CliProcess> cli;
    {
        ChildFileSizeLimit limited(limit);
        if (!limited.active()) GTEST_SKIP() << "the file-size limit cannot be set";
        cli.emplace(std::vector<std::string>{"-m", "arcs", "-t", "0.0001", source.string()});
    }
    const CliResult result = cli->wait();
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("[warning] " + std::string(messages::writeError)), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("を作成しました"), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("を作成しました"), std::string::npos) << result.out;
    // Nothing is left: neither under the output name nor hidden beside it.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"part.nc"});
}

TEST(cli_end_to_end, sigint_plays_the_escape_key)
{
    if (!fs::exists("/proc/self/status")) GTEST_SKIP() << "needs /proc to see when the interrupt handler is in place";
    // Long enough that the run is still reading when the interrupt arrives.
    const ScratchDirectory directory{scratchPrefix};
    const int programLines = 1000000;
    std::string program;
    for (int i = 0; i < programLines; ++i)
        program += "G1 X1. F100.\n";
    const fs::path source = directory.write("long.nc", program);
    CliProcess cli({"--json", source.string()});
    ASSERT_TRUE(waitForSignalHandler(cli.pid, SIGINT));
    ASSERT_EQ(kill(cli.pid, SIGINT), 0);
    const CliResult result = cli.wait();
    EXPECT_EQ(result.exitStatus, 130);
    const Json report = Json::parse(result.out);
    EXPECT_EQ(report["messages"], onlyMessage("warning", messages::escapeWhileReading));
    const std::string linesFinished = report["fields"]["lineCount"];
    EXPECT_LT(std::stoi(linesFinished), programLines);
    expectOnlyLineCount(report["fields"], linesFinished);
}

#endif

}  // namespace
}  // namespace drennix::test
