// drennix-cli with several programs: the programs of a folder by extension,
// run in parallel, one summary row each with the figures of its own
// single-file run, the worst exit status, the summary file, and an
// interrupt that stops every run.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <signal.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
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

// A path from UTF-8, whatever the system's narrow code page.
fs::path utf8Path(std::string_view name)
{
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

void writeFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A folder of programs of every kind: one with an arc, one rejected at its
// second line, one without arcs, one with a Japanese name and an upper-case
// extension, one in a subfolder, and a file of another extension.
void writeMixedFolder(const ScratchDirectory& directory)
{
    fs::create_directories(directory.path() / "jobs" / "old");
    directory.write("jobs/arc.nc", "G0X0Y0\nG2X10.Y0I5.F100.\nG1X20.\n");
    directory.write("jobs/bad.ngc", "G0X0\nG1X1..2\n");
    directory.write("jobs/straight.tap", "G0X0\nG1X5.F100.\n");
    writeFile(directory.path() / "jobs" / utf8Path("部品.NC"), "G1X3.F300.\n");
    directory.write("jobs/old/deep.gcode", "G1Y4.F100.\n");
    directory.write("jobs/notes.md", "not a program\n");
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
        start = end + 1;
    }
    return out;
}

TEST(cli_batch, a_folder_gives_a_row_per_program_with_its_single_runs_figures)
{
    const ScratchDirectory directory{scratchPrefix};
    writeMixedFolder(directory);
    const CliResult json = runCli({"-m", "arcs", "-r", "--summary", "json", "jobs", "missing.nc"}, directory.path());
    EXPECT_EQ(json.exitStatus, 1) << json.err;
    const Json summary = Json::parse(json.out);
    std::vector<std::string> files;
    std::vector<std::string> statuses;
    for (const Json& row : summary["programs"]) {
        files.push_back(row["file"]);
        statuses.push_back(row["status"]);
    }
    const std::string sep = (fs::path("jobs") / "x").string().substr(4, 1);
    EXPECT_EQ(files, (std::vector<std::string>{"jobs" + sep + "arc.nc", "jobs" + sep + "bad.ngc",
                                               "jobs" + sep + "old" + sep + "deep.gcode", "jobs" + sep + "straight.tap",
                                               "jobs" + sep + "部品.NC", "missing.nc"}));
    EXPECT_EQ(statuses, (std::vector<std::string>{
                            "作成しました", "元ﾌｧｲﾙの2行目で数値に少数点が2つ以上有ります。 変換はしていません。",
                            "変換が有りませんでした", "変換が有りませんでした", "変換が有りませんでした",
                            "元ﾌｧｲﾙ が有りません。 変換はしていません。"}));
    EXPECT_TRUE(fs::exists(directory.path() / "jobs" / "arc_con.nc"));

    // Each program's report is its single-file report, byte for byte.
    fs::create_directories(directory.path() / "alone");
    for (const char* name : {"arc.nc", "bad.ngc", "部品.NC"}) {
        fs::copy_file(directory.path() / "jobs" / utf8Path(name), directory.path() / "alone" / utf8Path(name));
        const CliResult single = runCli({"-m", "arcs", "--json", "alone/" + std::string(name)}, directory.path());
        const auto row = std::find_if(summary["programs"].begin(), summary["programs"].end(),
                                      [&](const Json& r) { return r["file"].get<std::string>().ends_with(name); });
        ASSERT_NE(row, summary["programs"].end()) << name;
        EXPECT_EQ((*row)["report"]["fields"].dump(), Json::parse(single.out)["fields"].dump()) << name;
        EXPECT_EQ((*row)["exitStatus"], single.exitStatus) << name;
    }

    // The same rows as CSV (CR LF) and as a table of tabs: the titles, then
    // a row per program (the converted arc's new program among them now).
    const CliResult csv = runCli({"-r", "--summary", "csv", "jobs"}, directory.path());
    const std::vector<std::string> csvLines = lines(csv.out);
    ASSERT_EQ(csvLines.size(), 7u) << csv.out;
    EXPECT_TRUE(csvLines[0].starts_with("ﾌｧｲﾙ,状態,行数,時間,早送距離,切削距離,")) << csvLines[0];
    EXPECT_TRUE(csvLines[0].ends_with(",最大R,作成ﾌｧｲﾙ")) << csvLines[0];
    EXPECT_NE(csv.out.find("\r\n"), std::string::npos);
    EXPECT_TRUE(csvLines[2].starts_with("jobs" + sep + "arc_con.nc,計算しました,")) << csvLines[2];
    EXPECT_TRUE(csvLines[6].starts_with("jobs" + sep + "部品.NC,計算しました,2,0.0,0.000,3.000,")) << csvLines[6];
    const CliResult table = runCli({"-r", "--summary", "table", "--estimate", "jobs"}, directory.path());
    const std::vector<std::string> tableLines = lines(table.out);
    ASSERT_EQ(tableLines.size(), 7u) << table.out;
    EXPECT_TRUE(tableLines[0].ends_with("\t最大R\t推定時間\t作成ﾌｧｲﾙ")) << tableLines[0];
    EXPECT_TRUE(tableLines[6].starts_with("jobs" + sep + "部品.NC\t計算しました\t2\t0.0\t0.000\t3.000\t"))
        << tableLines[6];
}

TEST(cli_batch, parallel_runs_give_the_rows_of_serial_runs)
{
    const ScratchDirectory directory{scratchPrefix};
    writeMixedFolder(directory);
    for (int k = 0; k < 12; ++k) {
        std::string program = "G0X0Y0\n";
        for (int i = 0; i <= k * 50; ++i)
            program.append("G1X")
                .append(std::to_string(i % 7))
                .append(".Y")
                .append(std::to_string(i % 5))
                .append(".F")
                .append(std::to_string(100 + k))
                .append(".\n");
        directory.write("jobs/p" + std::to_string(10 + k) + ".nc", program);
    }
    const CliResult serial = runCli({"-r", "-j", "1", "--estimate", "--summary", "csv", "jobs"}, directory.path());
    const CliResult parallel = runCli({"-r", "-j", "4", "--estimate", "--summary", "csv", "jobs"}, directory.path());
    EXPECT_EQ(serial.exitStatus, 1);
    EXPECT_EQ(parallel.exitStatus, 1);
    EXPECT_EQ(lines(serial.out).size(), 18u);
    EXPECT_EQ(parallel.out, serial.out);
}

TEST(cli_batch, the_summary_file_is_written_whole_and_never_replaced)
{
    const ScratchDirectory directory{scratchPrefix};
    writeMixedFolder(directory);
    const CliResult written = runCli({"--summary-file", "sum.csv", "--summary", "csv", "jobs"}, directory.path());
    EXPECT_EQ(written.exitStatus, 1);
    EXPECT_EQ(written.out, "");
    const std::string first = readBytes(directory.path() / "sum.csv");
    EXPECT_EQ(lines(first).size(), 5u) << first;
    const CliResult again = runCli({"--summary-file", "sum.csv", "jobs/arc.nc", "jobs/straight.tap"}, directory.path());
    EXPECT_EQ(again.exitStatus, 2);
    EXPECT_NE(again.err.find("--summary-file sum.csv: the file exists; it is not overwritten"), std::string::npos)
        << again.err;
    EXPECT_EQ(readBytes(directory.path() / "sum.csv"), first);

    // What one run writes for itself cannot be shared by several.
    const CliResult refused = runCli({"--moves", "m.jsonl", "-r", "jobs"}, directory.path());
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_NE(refused.err.find("--moves: only with one SOURCE"), std::string::npos) << refused.err;

    // One name alone, without an option of several programs, is the single
    // run it always was: a folder is refused as a source.
    const CliResult alone = runCli({"--json", "jobs"}, directory.path());
    EXPECT_EQ(alone.exitStatus, 1);
    EXPECT_NE(alone.out.find("元ﾌｧｲﾙ を開くのに失敗しました。"), std::string::npos) << alone.out;
}

#if !defined(_WIN32)
TEST(cli_batch, an_interrupt_stops_every_run_and_the_summary_lists_what_ended)
{
    if (!fs::exists("/proc/self/status")) GTEST_SKIP() << "needs /proc to see when the interrupt handler is in place";
    const ScratchDirectory directory{scratchPrefix};
    std::string program;
    for (int i = 0; i < 1000000; ++i)
        program += "G1 X1. F100.\n";
    for (int k = 0; k < 6; ++k)
        directory.write("long" + std::to_string(k) + ".nc", program);
    CliProcess cli({"-j", "2", "--summary", "csv", "."}, directory.path());
    ASSERT_TRUE(waitForSignalHandler(cli.pid, SIGINT));
    ASSERT_EQ(kill(cli.pid, SIGINT), 0);
    const CliResult result = cli.wait();
    EXPECT_EQ(result.exitStatus, 130);
    const std::vector<std::string> rows = lines(result.out);
    ASSERT_GE(rows.size(), 1u);
    EXPECT_LT(rows.size(), 7u) << result.out;
    for (std::size_t k = 1; k < rows.size(); ++k)
        EXPECT_NE(rows[k].find("ESCｷｰにより処理を中止します。 変換はしていません。"), std::string::npos) << rows[k];
}
#endif

}  // namespace
}  // namespace drennix::test
