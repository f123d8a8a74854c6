// Every program under examples/ and tests/data/ run by the built drennix-cli
// in every mode: the JSON report and the new program must be, byte for byte,
// the recorded ones in tests/data/golden/cli_runs. The same files are the
// expectation of every platform's build, so a build whose arithmetic or
// output differs in any byte fails here.
//
// DRENNIX_RECORD_RUNS=1 writes the files anew from the build under test
// instead of comparing; review the difference before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "cli_process.h"
#include "scratch_directory.h"

namespace drennix::test {
namespace {

namespace fs = std::filesystem;
using drennix::testing::readBytes;
using drennix::testing::ScratchDirectory;

const fs::path repository = fs::path(DRENNIX_TEST_DATA_DIR).parent_path().parent_path();
const fs::path recordedDirectory = fs::path(DRENNIX_TEST_DATA_DIR) / "golden" / "cli_runs";

struct RunCase {
    std::string name;  // the name of its recorded files
    fs::path source;
    std::vector<std::string> options;
};

void PrintTo(const RunCase& c, std::ostream* os)
{
    *os << c.name;
}

// The programs, in a fixed order: *.nc under examples/ and tests/data/,
// except the recorded outputs themselves.
std::vector<fs::path> programs()
{
    std::vector<fs::path> found;
    for (const fs::path& root : {repository / "examples", repository / "tests" / "data"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".nc") continue;
            const fs::path relative = entry.path().lexically_relative(repository);
            if (relative.generic_string().starts_with("tests/data/golden/cli_runs/")) continue;
            found.push_back(relative);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// "tests/data/cli/clean.nc" becomes "tests_data_cli_clean".
std::string caseStem(const fs::path& relative)
{
    std::string stem = relative.generic_string();
    stem.resize(stem.size() - relative.extension().string().size());
    std::replace(stem.begin(), stem.end(), '/', '_');
    return stem;
}

std::vector<RunCase> runCases()
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> modes{
        {"time", {"-m", "time"}},
        {"absolute", {"-m", "absolute"}},
        {"helical", {"-m", "helical"}},
        {"arcs", {"-m", "arcs"}},
        // Finer cuts: more points, more of the C library's sin and cos.
        {"arcs_fine", {"-m", "arcs", "-t", "0.001"}},
    };
    std::vector<RunCase> cases;
    for (const fs::path& program : programs())
        for (const auto& [mode, options] : modes)
            cases.push_back({caseStem(program) + "." + mode, program, options});
    return cases;
}

bool recording()
{
    const char* value = std::getenv("DRENNIX_RECORD_RUNS");
    return value != nullptr && std::string(value) == "1";
}

void writeBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

// The check of the written program, the report's last member, came after
// the recordings and is not recorded: its figures are the check's own (its
// tests have them), not the run's. Here it must be there, null unless a
// program was written; the rest of the report is returned for comparison.
std::string withoutVerification(const std::string& report, bool written)
{
    const std::string key = ",\n  \"verification\": ";
    const std::size_t at = report.rfind(key);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no verification in the report";
        return report;
    }
    const nlohmann::json verification = nlohmann::json::parse(report)["verification"];
    if (written) {
        EXPECT_GE(verification.value("arcs", 0), 1);
        EXPECT_GE(verification.value("lines", 0), verification.value("arcs", 0));
    } else {
        EXPECT_TRUE(verification.is_null());
    }
    return report.substr(0, at) + "\n}\n";
}

class RecordedRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(RecordedRun, GivesTheRecordedReportAndBytes)
{
    const RunCase& c = GetParam();
    // A copy beside which the new program goes; the report then names it
    // without a folder, the same wherever the test runs.
    const ScratchDirectory folder{"drennix-recorded-"};
    const std::string sourceName = c.source.filename().string();
    const std::string sourceBytes = readBytes(repository / c.source);
    folder.write(sourceName, sourceBytes);
    std::vector<std::string> args{"--json"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(sourceName);
    const CliResult result = runCli(args, folder.path());

    std::vector<std::string> created;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        if (entry.path().filename() != sourceName) created.push_back(entry.path().filename().string());
    ASSERT_LE(created.size(), 1u);
    const std::string output = created.empty() ? std::string() : readBytes(folder.path() / created[0]);

    const fs::path reportFile = recordedDirectory / (c.name + ".json");
    const fs::path outputFile = recordedDirectory / (c.name + ".nc");
    if (recording()) {
        fs::create_directories(recordedDirectory);
        writeBytes(reportFile, withoutVerification(result.out, !created.empty()));
        fs::remove(outputFile);
        if (!created.empty()) writeBytes(outputFile, output);
        GTEST_SKIP() << "recorded " << c.name;
    }

    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitStatus, result.out.find("\"kind\":\"warning\"") == std::string::npos ? 0 : 1);
    ASSERT_TRUE(fs::exists(reportFile)) << reportFile << " (DRENNIX_RECORD_RUNS=1 writes it)";
    EXPECT_EQ(withoutVerification(result.out, !created.empty()), readBytes(reportFile));
    EXPECT_EQ(fs::exists(outputFile), !created.empty());
    EXPECT_EQ(output, readBytes(outputFile));
    EXPECT_EQ(readBytes(folder.path() / sourceName), sourceBytes);
}

INSTANTIATE_TEST_SUITE_P(EveryProgram, RecordedRun, ::testing::ValuesIn(runCases()), [](const auto& info) {
    std::string name = info.param.name;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
});

}  // namespace
}  // namespace drennix::test
