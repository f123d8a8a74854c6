// Writing the new program: its name beside the source, CR LF line ends,
// progress and Escape while writing, and the rule that no existing file is
// ever touched and the source never changes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine_run.h"
#include "output_writer.h"

namespace drennix::testing {
namespace {

using Events = std::vector<std::string>;

// One helical block from (10, 0, 0): converted into 18 lines.
const std::string kHelix = "G3X0.Y10.Z-1.I-10.F100.";
const std::string kFirstSegment = "G1X9.962Y0.872Z-0.056F100.";

class OutputWriter : public EngineRunTest {
protected:
    OutputWriter() { options.initialX = 10; }
    std::string created(const std::filesystem::path& path) const {
        return path.string() + "\n　を作成しました。";
    }
};

TEST_F(OutputWriter, SuccessfulRunReportsTheFileAfterTheWait) {
    run(kHelix + "\nG1X5.\n", RunMode::ConvertHelical);
    EXPECT_EQ(host.events(),
              (Events{"clearResults", "beginWait", "showLineCount 0", "showResults", "outputCreated",
                      "showLineCount 0", "showLineCount 20", "endWait", "information " + created(outputPath())}));
    EXPECT_EQ(host.outputPaths(), std::vector<std::string>{outputPath().string()});
    EXPECT_EQ(field(ResultField::LineCount), "20");
    EXPECT_EQ(host.shownResults().value()[ResultField::LineCount], "3");
}

TEST_F(OutputWriter, EveryLineEndsWithCrLfAndKeepsItsBytes) {
    const std::string source = "%\r\n(A\rB \x88\xea)\n" + kHelix + "\r\nM30";
    run(source, RunMode::ConvertHelical);
    const std::string written = output();
    EXPECT_TRUE(written.starts_with("%\r\n(A\rB \x88\xea)\r\n" + kFirstSegment + "\r\n")) << written;
    // M30 relies on the modal arc motion, so the arc code goes in front.
    EXPECT_TRUE(written.ends_with("\r\nX0.000Y10.000Z-1.000\r\nG3M30\r\n")) << written;
    EXPECT_EQ(readBytes(scratch / "part.nc"), source);
}

TEST_F(OutputWriter, FinalEmptyLineIsWrittenToo) {
    run(kHelix + "\n", RunMode::ConvertArcs);
    EXPECT_TRUE(output().ends_with("X0.000Y10.000Z-1.000\r\n\r\n"));
    EXPECT_EQ(field(ResultField::LineCount), "19");
}

struct PathCase {
    std::string name;
    std::string source;  // relative to the scratch folder
    std::string folderToMake;
    std::string suffix;
    std::string output;
};

class OutputPath : public EngineRunTestWithParam<PathCase> {};

TEST_P(OutputPath, PutsTheSuffixBeforeTheLastPoint) {
    const auto& c = GetParam();
    if (!c.folderToMake.empty()) std::filesystem::create_directories(scratch / c.folderToMake);
    const auto source = scratch / c.source;
    std::filesystem::create_directories(source.parent_path());
    scratch.write(c.source, "G0X10.\n" + kHelix);
    options.sourcePath = source.string();
    options.suffix = c.suffix;
    execute(RunMode::ConvertHelical);
    const auto expected = (scratch / c.output).string();
    EXPECT_EQ(host.messages(), informationOnly(expected + "\n　を作成しました。"));
    EXPECT_TRUE(readBytes(expected).starts_with("G0X10.\r\n" + kFirstSegment + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputPath,
    ::testing::Values(
        PathCase{"Extension", "part.nc", "", "_con", "part_con.nc"},
        PathCase{"NoExtension", "part", "", "_con", "part_con"},
        PathCase{"TwoPoints", "part.a.nc", "", "_con", "part.a_con.nc"},
        PathCase{"PointInAFolderName", "nc.v2/part", "nc_con.v2", "_con", "nc_con.v2/part"},
        PathCase{"OwnSuffix", "part.nc", "", "-x", "part-x.nc"},
        PathCase{"NameStartsWithAPoint", ".nc", "", "_con", "_con.nc"}),
    NameOfCase{});

TEST_F(OutputWriter, ExistingFileIsNeverTouched) {
    scratch.write("part_con.nc", "keep me\n");
    run(kHelix, RunMode::ConvertHelical);
    const std::string message = "作成ﾌｧｲﾙ " + outputPath().string() + "\n　が既に有ります。変換はしていません。";
    EXPECT_EQ(host.outline(), (Events{"clearResults", "beginWait", "showResults", "warning " + message, "endWait"}));
    EXPECT_EQ(output(), "keep me\n");
    EXPECT_TRUE(host.outputPaths().empty());

    // Once the file is gone the same run succeeds.
    std::filesystem::remove(outputPath());
    host = RecordingHost{};
    run(kHelix, RunMode::ConvertHelical);
    EXPECT_EQ(host.messages(), informationOnly(created(outputPath())));
}

TEST_F(OutputWriter, ExistingFolderCountsAsAnExistingFile) {
    std::filesystem::create_directory(outputPath());
    run(kHelix, RunMode::ConvertArcs);
    EXPECT_EQ(host.messages(),
              warningOnly("作成ﾌｧｲﾙ " + outputPath().string() + "\n　が既に有ります。変換はしていません。"));
    EXPECT_TRUE(std::filesystem::is_directory(outputPath()));
}

TEST_F(OutputWriter, LinkNamedLikeTheOutputLeavesItsTargetAlone) {
    const auto target = scratch.write("other.txt", "precious\n");
    std::filesystem::create_symlink(target, outputPath());
    run(kHelix, RunMode::ConvertHelical);
    EXPECT_EQ(host.messages(),
              warningOnly("作成ﾌｧｲﾙ " + outputPath().string() + "\n　が既に有ります。変換はしていません。"));
    EXPECT_EQ(readBytes(target), "precious\n");
}

TEST_F(OutputWriter, OutputThatCannotBeCreated) {
    // The last point lies in the folder name, so the output goes into a
    // folder that does not exist.
    std::filesystem::create_directory(scratch / "nc.v2");
    options.sourcePath = scratch.write("nc.v2/part", kHelix).string();
    execute(RunMode::ConvertHelical);
    EXPECT_EQ(host.outline(), (Events{"clearResults", "beginWait", "showResults",
                                      "warning 新規に 作成ﾌｧｲﾙ を開くのに失敗しました。\n　変換はしていません。",
                                      "endWait"}));
    EXPECT_FALSE(std::filesystem::exists(scratch / "nc_con.v2"));
}

TEST_F(OutputWriter, FolderWithoutWritePermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes everywhere";
    run(kHelix, RunMode::ConvertHelical);
    std::filesystem::remove(outputPath());
    ::chmod(scratch.path().c_str(), 0555);
    host = RecordingHost{};
    execute(RunMode::ConvertHelical);
    ::chmod(scratch.path().c_str(), 0755);
    EXPECT_EQ(host.messages(), warningOnly("新規に 作成ﾌｧｲﾙ を開くのに失敗しました。\n　変換はしていません。"));
}

TEST_F(OutputWriter, ProgressCountsWrittenLines) {
    std::string source;
    for (int i = 0; i < 240; ++i) source += "G0X10.\n";
    run(source + kHelix, RunMode::ConvertHelical);
    EXPECT_EQ(host.lineCounts(), (std::vector<int>{0, 100, 200, 0, 100, 200, 258}));
    EXPECT_EQ(field(ResultField::LineCount), "258");
}

TEST_F(OutputWriter, EscapeWhileWritingKeepsTheLinesWritten) {
    host.abortOnPoll(3 + 3);  // three source lines, then two lines written
    run("G0X10.\n" + kHelix + "\nG1X5.", RunMode::ConvertHelical);
    EXPECT_EQ(host.messages(), warningOnly("ESCｷｰにより処理を中止します。\n　変換は完成していません。"));
    EXPECT_EQ(host.events().back(), "endWait");
    EXPECT_EQ(host.outputPaths(), std::vector<std::string>{outputPath().string()});
    EXPECT_EQ(output(), crlfLines({"G0X10.", kFirstSegment}));
}

TEST_F(OutputWriter, EachRunWritesOnlyItsOwnLines) {
    // A rejected converting run leaves nothing behind for the next one.
    run("G0X10.\n" + kHelix + "\nG0X1.X2.", RunMode::ConvertHelical);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_FALSE(outputExists());

    host = RecordingHost{};
    options.sourcePath = scratch.write("second.nc", "M30\n" + kHelix).string();
    execute(RunMode::ConvertHelical);
    const std::string second = readBytes(scratch / "second_con.nc");
    EXPECT_TRUE(second.starts_with("M30\r\n" + kFirstSegment + "\r\n")) << second;

    host = RecordingHost{};
    options.sourcePath = scratch.write("third.nc", "N1\n" + kHelix).string();
    execute(RunMode::ConvertHelical);
    const std::string third = readBytes(scratch / "third_con.nc");
    EXPECT_TRUE(third.starts_with("N1\r\n" + kFirstSegment + "\r\n")) << third;
    EXPECT_EQ(third.find("M30"), std::string::npos);
}


TEST(OutputPathFor, TheLastPointOfTheWholePathDecides) {
    EXPECT_EQ(outputPathFor("C:\\NC\\PART.NC", "_con"), "C:\\NC\\PART_con.NC");
    EXPECT_EQ(outputPathFor("C:\\NC\\PART", "_con"), "C:\\NC\\PART_con");
    EXPECT_EQ(outputPathFor("C:\\NC.V2\\PART", "_con"), "C:\\NC_con.V2\\PART");
    EXPECT_EQ(outputPathFor("C:\\NC\\PART.A.NC", "_con"), "C:\\NC\\PART.A_con.NC");
    EXPECT_EQ(outputPathFor("part.", "-x"), "part-x.");
    EXPECT_EQ(outputPathFor("../nc/part", "_con"), "._con./nc/part");
}

}  // namespace
}  // namespace drennix::testing
