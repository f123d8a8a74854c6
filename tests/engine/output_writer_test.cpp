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

// One helical block from (10, 0, 0), converted into 18 lines.
const std::string kHelix = "G3X0.Y10.Z-1.I-10.F100.";
const std::string kFirst = "G1X9.962Y0.872Z-0.056F100.";

class OutputWriter : public EngineRunTest {
protected:
    OutputWriter() { options.initialX = 10; }
    std::string exists(const std::filesystem::path& p) const
    {
        return "作成ﾌｧｲﾙ " + p.string() + "\n　が既に有ります。変換はしていません。";
    }
};

TEST(OutputPathFor, TheLastPointOfTheWholePathDecides)
{
    EXPECT_EQ(outputPathFor("C:\\NC\\PART.NC", "_con"), "C:\\NC\\PART_con.NC");
    EXPECT_EQ(outputPathFor("C:\\NC\\PART", "_con"), "C:\\NC\\PART_con");
    EXPECT_EQ(outputPathFor("C:\\NC.V2\\PART", "_con"), "C:\\NC_con.V2\\PART");
    EXPECT_EQ(outputPathFor("C:\\NC\\PART.A.NC", "_con"), "C:\\NC\\PART.A_con.NC");
    EXPECT_EQ(outputPathFor(".nc", "-x"), "-x.nc");
}

TEST_F(OutputWriter, SuccessReportsTheFileAfterTheWait)
{
    run(kHelix + "\nG1X5.\n", RunMode::ConvertHelical);
    EXPECT_EQ(host.events, (Events{"clearResults", "beginWait", "showLineCount 0", "showResults", "outputCreated",
                                   "showLineCount 0", "showLineCount 20", "endWait", "information " + created()}));
    EXPECT_EQ(host.outputPaths, Events{outputPath().string()});
    EXPECT_EQ((*host.results)[ResultField::LineCount] + " " + field(ResultField::LineCount), "3 20");
}

TEST_F(OutputWriter, EveryLineEndsWithCrLfAndKeepsItsBytes)
{
    const std::string source = "%\r\n(A\rB \x88\xea)\n" + kHelix + "\r\nM30\n";
    run(source, RunMode::ConvertArcs);
    const std::string written = output();
    EXPECT_TRUE(written.starts_with("%\r\n(A\rB \x88\xea)\r\n" + kFirst + "\r\n")) << written;
    // M30 relies on the modal arc motion, so the arc code goes in front.
    EXPECT_TRUE(written.ends_with("\r\nX0.000Y10.000Z-1.000\r\nG3M30\r\n\r\n")) << written;
    EXPECT_EQ(readBytes(scratch / "part.nc"), source);
}

TEST_F(OutputWriter, PathsWithPointsInFolders)
{
    std::filesystem::create_directories(scratch / "nc.v2");
    options.sourcePath = scratch.write("nc.v2/part", kHelix).string();
    execute(RunMode::ConvertHelical);  // the output folder nc_con.v2 does not exist
    EXPECT_EQ(host.outline(), (Events{"clearResults", "beginWait", "showResults",
                                      "warning 新規に 作成ﾌｧｲﾙ を開くのに失敗しました。" + kNotConverted, "endWait"}));
    std::filesystem::create_directories(scratch / "nc_con.v2");
    execute(RunMode::ConvertHelical);
    EXPECT_EQ(host.messages, informationOnly((scratch / "nc_con.v2/part").string() + "\n　を作成しました。"));
    EXPECT_TRUE(readBytes(scratch / "nc_con.v2/part").starts_with(kFirst + "\r\n"));
}

TEST_F(OutputWriter, ExistingFilesFoldersAndLinksAreNeverTouched)
{
    scratch.write("part_con.nc", "keep me\n");
    run(kHelix, RunMode::ConvertHelical);
    EXPECT_EQ(host.outline(),
              (Events{"clearResults", "beginWait", "showResults", "warning " + exists(outputPath()), "endWait"}));
    EXPECT_EQ(output(), "keep me\n");
    EXPECT_TRUE(host.outputPaths.empty());

    std::filesystem::remove(outputPath());
    std::filesystem::create_symlink(scratch.write("other.txt", "precious\n"), outputPath());
    run(kHelix, RunMode::ConvertHelical);
    EXPECT_EQ(host.messages, warningOnly(exists(outputPath())));
    EXPECT_EQ(readBytes(scratch / "other.txt"), "precious\n");

    std::filesystem::remove(outputPath());
    std::filesystem::create_directory(outputPath());
    run(kHelix, RunMode::ConvertArcs);
    EXPECT_EQ(host.messages, warningOnly(exists(outputPath())));

    std::filesystem::remove(outputPath());
    run(kHelix, RunMode::ConvertArcs);
    EXPECT_EQ(host.messages, informationOnly(created()));
}

TEST_F(OutputWriter, FolderWithoutWritePermission)
{
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes everywhere";
    options.sourcePath = scratch.write("part.nc", kHelix).string();
    ::chmod(scratch.path().c_str(), 0555);
    execute(RunMode::ConvertHelical);
    ::chmod(scratch.path().c_str(), 0755);
    EXPECT_EQ(host.messages, warningOnly("新規に 作成ﾌｧｲﾙ を開くのに失敗しました。" + kNotConverted));
}

TEST_F(OutputWriter, ProgressCountsWrittenLines)
{
    std::string source;
    for (int i = 0; i < 240; ++i)
        source += "G0X10.\n";
    run(source + kHelix, RunMode::ConvertHelical);
    EXPECT_EQ(host.lineCounts, (std::vector<int>{0, 100, 200, 0, 100, 200, 258}));
}

TEST_F(OutputWriter, EscapeWhileWritingKeepsTheLinesWritten)
{
    host.abortOnPoll = 3 + 3;  // three source lines, then two lines written
    run("G0X10.\n" + kHelix + "\nG1X5.", RunMode::ConvertHelical);
    EXPECT_EQ(host.messages, warningOnly("ESCｷｰにより処理を中止します。\n　変換は完成していません。"));
    EXPECT_EQ(host.events.back(), "endWait");
    EXPECT_EQ(host.outputPaths, Events{outputPath().string()});
    EXPECT_EQ(output(), "G0X10.\r\n" + kFirst + "\r\n");
}

TEST_F(OutputWriter, EachRunWritesOnlyItsOwnLines)
{
    run("G0X10.\n" + kHelix + "\nG0X1.X2.", RunMode::ConvertHelical);  // rejected on line 3
    EXPECT_FALSE(std::filesystem::exists(outputPath()));
    options.sourcePath = scratch.write("second.nc", "M30\n" + kHelix).string();
    execute(RunMode::ConvertHelical);
    options.sourcePath = scratch.write("third.nc", "N1\n" + kHelix).string();
    execute(RunMode::ConvertHelical);
    EXPECT_TRUE(readBytes(scratch / "second_con.nc").starts_with("M30\r\n" + kFirst + "\r\n"));
    const std::string third = readBytes(scratch / "third_con.nc");
    EXPECT_TRUE(third.starts_with("N1\r\n" + kFirst + "\r\n")) << third;
    EXPECT_EQ(third.size(), readBytes(scratch / "second_con.nc").size() - 1);
}

}  // namespace
}  // namespace drennix::testing
