// Writing the new program: its name beside the source, CR LF line ends, the
// program published whole or not at all, and the rule that no existing file
// is ever touched and the source never changes.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "disk_sync.h"
#include "engine_run.h"
#include "output_file.h"
#include "output_store.h"

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
    // The names in the scratch folder: nothing but what a test put there and
    // a program that was published.
    std::vector<std::string> folderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(OutputPathFor, TheLastPointOfTheFileNameDecides)
{
    const std::pair<std::string, std::string> cases[] = {
        {"part.nc", "part_con.nc"},
        {"proj.v2/part", "proj.v2/part_con"},
        {"./part", "./part_con"},
        {"/nc/part.a.nc", "/nc/part.a_con.nc"},
        {".nc", "_con.nc"},
        {"dir.x/.nc", "dir.x/_con.nc"},
        {"part.", "part_con."},
#if defined(_WIN32)
        {"C:\\NC\\PART.NC", "C:\\NC\\PART_con.NC"},
        {"C:\\NC.V2\\PART", "C:\\NC.V2\\PART_con"},
        {"C:\\NC.V2/PART", "C:\\NC.V2/PART_con"},
#else
        // A backslash is part of a file name here.
        {"C:\\NC.V2\\PART", "C:\\NC_con.V2\\PART"},
#endif
    };
    for (const auto& [source, output] : cases)
        EXPECT_EQ(outputPathFor(source, "_con"), output) << source;
}

TEST_F(OutputWriter, SuccessReportsTheFileAfterTheWait)
{
    run(kHelix + "\nG1X5.\n", RunMode::ConvertHelical);
    EXPECT_EQ(host.events, (Events{"clearResults", "beginWait", "showLineCount 0", "showResults", "outputCreated",
                                   "showLineCount 20", "endWait", "information " + created()}));
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

TEST_F(OutputWriter, TheProgramGoesBesideTheSourceWhateverTheFolderIsCalled)
{
    std::filesystem::create_directories(scratch / "nc.v2");
    options.sourcePath = scratch.write("nc.v2/part", kHelix).string();
    execute(RunMode::ConvertHelical);
    EXPECT_EQ(host.messages, informationOnly((scratch / "nc.v2/part_con").string() + "\n　を作成しました。"));
    EXPECT_TRUE(readBytes(scratch / "nc.v2/part_con").starts_with(kFirst + "\r\n"));
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
    std::error_code noLinks;
    std::filesystem::create_symlink(scratch.write("other.txt", "precious\n"), outputPath(), noLinks);
    // The C++ library of MinGW makes no symbolic links.
#if !defined(_WIN32)
    ASSERT_FALSE(noLinks) << noLinks.message();
#endif
    if (!noLinks) {
        run(kHelix, RunMode::ConvertHelical);
        EXPECT_EQ(host.messages, warningOnly(exists(outputPath())));
        EXPECT_EQ(readBytes(scratch / "other.txt"), "precious\n");
    }

    std::filesystem::remove(outputPath());
    std::filesystem::create_directory(outputPath());
    run(kHelix, RunMode::ConvertArcs);
    EXPECT_EQ(host.messages, warningOnly(exists(outputPath())));

    std::filesystem::remove(outputPath());
    run(kHelix, RunMode::ConvertArcs);
    EXPECT_EQ(host.messages, informationOnly(created()));
}

#if !defined(_WIN32)
// Linux only: permission bits and a file-size limit.

TEST_F(OutputWriter, FolderWithoutWritePermission)
{
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes everywhere";
    options.sourcePath = scratch.write("part.nc", kHelix).string();
    ::chmod(scratch.path().c_str(), 0555);
    execute(RunMode::ConvertHelical);
    ::chmod(scratch.path().c_str(), 0755);
    EXPECT_EQ(host.messages, warningOnly("新規に 作成ﾌｧｲﾙ を開くのに失敗しました。" + kNotConverted));
}

#endif

TEST_F(OutputWriter, ProgressCountsWrittenLines)
{
    std::string source;
    for (int i = 0; i < 240; ++i)
        source += "G0X10.\n";
    run(source + kHelix, RunMode::ConvertHelical);
    EXPECT_EQ(host.lineCounts, (std::vector<int>{0, 100, 200, 258}));
}

// Escape, a rejected line, nothing to convert, a name taken at the end: no
// program under the output name and no hidden file beside it.
TEST_F(OutputWriter, AProgramNotFinishedLeavesNothing)
{
    host.abortOnPoll = 3;
    run("G0X10.\n" + kHelix + "\nG1X5.", RunMode::ConvertHelical);
    EXPECT_EQ(host.messages, warningOnly("ESCｷｰにより処理を中止します。" + kNotConverted));
    EXPECT_EQ(folderNames(), Events{"part.nc"});
    host.abortOnPoll = 0;

    run(kHelix + "\nG0X1.X2.", RunMode::ConvertArcs);
    EXPECT_EQ(host.messages, warningOnly(lineMessage(2, "行目に X が複数有ります。")));
    EXPECT_EQ(folderNames(), Events{"part.nc"});

    run("G0X1.\n", RunMode::ConvertHelical);
    EXPECT_EQ(host.messages, informationOnly("変換が有りませんでした。" + kNotConverted));
    EXPECT_EQ(folderNames(), Events{"part.nc"});

    scratch.write("part_con.nc", "keep me\n");
    run(kHelix, RunMode::ConvertArcs);
    EXPECT_EQ(host.messages, warningOnly(exists(outputPath())));
    EXPECT_EQ(folderNames(), (Events{"part.nc", "part_con.nc"}));
    EXPECT_EQ(output(), "keep me\n");
    EXPECT_FALSE(returned.outputPath);
}

#if !defined(_WIN32)
// The file system refuses more bytes (a full disk, a size limit): the write
// error after the figures, and no file.
TEST_F(OutputWriter, AWriteErrorLeavesNothing)
{
    std::string source = "G2I-10.F100.";  // a full circle of 703 cuts, about 17 KB
    for (int i = 0; i < 20; ++i)
        source += "\nG2I-10.";
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    const auto previous = ::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0) GTEST_SKIP() << "the file-size limit cannot be set";
    options.tolerance = 0.0001;
    run(source, RunMode::ConvertArcs);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);
    EXPECT_EQ(host.outline(),
              (Events{"clearResults", "beginWait", "showResults",
                      "warning 新規の作成ﾌｧｲﾙの書込みでｴﾗｰが発生しました。\n　変換は完成していません。", "endWait"}));
    EXPECT_EQ(returned.outcome, RunOutcome::OutputFailed);
    EXPECT_EQ(folderNames(), Events{"part.nc"});
}
#endif

// The UTF-8 text of a path, built without the engine's own conversion.
std::string utf8Text(const std::filesystem::path& p)
{
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
}

// A folder and a file named in Japanese, which no ANSI code page of Windows
// spells whole (ﾃｽﾄ is half-width katakana): every mode reads the source,
// and a converting run writes beside it, under the name it reports, the
// same bytes as for a source named in ASCII.
TEST_F(OutputWriter, AFolderAndAFileNamedInJapanese)
{
    const std::string program = "G0X10.\n" + kHelix + "\nG2X10.Y0.I10.\nG1X5.\n";
    const std::filesystem::path folder = scratch.path() / std::u8string(u8"加工");
    const std::filesystem::path source = folder / std::u8string(u8"ﾃｽﾄ.nc");
    const std::filesystem::path converted = folder / std::u8string(u8"ﾃｽﾄ_con.nc");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    std::ofstream(source, std::ios::binary) << program;
    ASSERT_EQ(readBytes(source), program);
    for (RunMode mode :
         {RunMode::MachiningTime, RunMode::AbsoluteDisplay, RunMode::ConvertHelical, RunMode::ConvertArcs}) {
        SCOPED_TRACE(static_cast<int>(mode));
        run(program, mode);
        const RecordingHost reference = host;
        const std::string referenceOutput = output();
        std::filesystem::remove(outputPath());

        options.sourcePath = utf8Text(source);
        execute(mode);
        EXPECT_EQ(host.results, reference.results);
        EXPECT_EQ(host.rows, reference.rows);
        if (!isConverting(mode)) {
            EXPECT_EQ(host.messages, kCalculated);
            continue;
        }
        EXPECT_EQ(host.messages, informationOnly(utf8Text(converted) + "\n　を作成しました。"));
        EXPECT_EQ(returned.outputPath, utf8Text(converted));
        EXPECT_EQ(host.outputPaths, Events{utf8Text(converted)});
        EXPECT_FALSE(referenceOutput.empty());
        EXPECT_EQ(readBytes(converted), referenceOutput);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(utf8Text(entry.path().filename()));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (Events{"ﾃｽﾄ.nc", "ﾃｽﾄ_con.nc"}));
        std::filesystem::remove(converted);
    }
    EXPECT_EQ(readBytes(source), program);
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

namespace drennix::testing {
namespace {

// A store that keeps what it is handed, block by block, and refuses every
// write after the first `writes`.
class BlockStore final : public OutputStore {
public:
    explicit BlockStore(int writes) : writes_(writes) {}
    Fault publish() override { return flushBuffer() ? Fault{} : Fault{FaultId::WriteError}; }
    void discard() override { dropBuffer(); }
    std::vector<std::string> blocks;

private:
    bool writeBytes(std::string_view bytes) override
    {
        if (static_cast<int>(blocks.size()) == writes_) return false;
        blocks.emplace_back(bytes);
        return true;
    }
    int writes_;
};

// Lines written in place where the store gives room, and appended where it
// does not, against the same lines all appended: the same blocks handed on
// (the line and byte limits of a block, a line longer than a block), the
// same count of lines at every step, also after a write fails.
TEST(OutputStore, LinesInPlaceGoOutAsAppendedOnes)
{
    std::mt19937_64 random(9);
    for (const int writes : {1000, 3, 0}) {
        BlockStore appended(writes), placed(writes);
        int inPlace = 0;
        for (int i = 0; i < 60000; ++i) {
            const std::size_t size = i == 30000 ? (std::size_t{1} << 20) + 5 : random() % (i < 20000 ? 8 : 120);
            const std::string line(size, static_cast<char>('a' + i % 26));
            appended.append({}, line);
            if (char* room = placed.lineRoom(size)) {
                std::copy(line.begin(), line.end(), room);
                placed.endLineAt(room + size);
                ++inPlace;
            } else {
                placed.append({}, line);
            }
            ASSERT_EQ(placed.linesWritten(), appended.linesWritten()) << i;
        }
        EXPECT_EQ(placed.publish().id, appended.publish().id);
        EXPECT_EQ(placed.blocks, appended.blocks);
        EXPECT_EQ(placed.linesWritten(), 60000);
        // After a failed write nothing more is taken in place.
        EXPECT_EQ(inPlace > 50000, writes == 1000);
    }
}

TEST(MemoryOutputStore, ADiscardedProgramLeavesNothingBehind)
{
    MemoryOutputStore store;
    store.append("G2", "OLD LINE");
    store.discard();
    store.append({}, "NEW LINE");
    EXPECT_FALSE(store.publish());
    EXPECT_EQ(store.bytes(), "NEW LINE\r\n");
    EXPECT_TRUE(store.published());
    EXPECT_EQ(MemoryOutputStore(true).publish().id, FaultId::OutputExists);
}

}  // namespace
}  // namespace drennix::testing

namespace drennix::testing {
namespace {

// A program long enough to be synced to the disk while it is written: the
// published file holds every line in order, a discarded one leaves nothing,
// and a sync that fails is not forgotten by the time the program is named.
TEST(FileOutputStore, AProgramSyncedWhileWrittenIsPublishedWhole)
{
    ScratchDirectory scratch;
    const std::string line(99, 'X');
    const int lines = 420000;  // 42 MB with the line ends
    for (const bool publishIt : {true, false}) {
        const std::filesystem::path path = scratch / (publishIt ? "long_con.nc" : "dropped_con.nc");
        {
            FileOutputStore store(path.string());
            for (int i = 0; i < lines; ++i) {
                store.append(i % 1000 == 0 ? std::to_string(i) : std::string(), line);
            }
            if (publishIt) {
                ASSERT_FALSE(store.publish());
            } else {
                store.discard();
            }
        }
        if (!publishIt) {
            EXPECT_FALSE(std::filesystem::exists(path));
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        std::string text;
        int index = 0;
        while (std::getline(in, text)) {
            const std::string want = (index % 1000 == 0 ? std::to_string(index) : std::string()) + line + "\r";
            if (text != want) {
                ADD_FAILURE() << "line " << index + 1;
                break;
            }
            ++index;
        }
        EXPECT_EQ(index, lines);
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"long_con.nc"});
}

#if !defined(_WIN32)
TEST(DiskSync, AFailedSyncIsReportedAtTheEnd)
{
    DiskSync failing(-1);
    failing.request();
    failing.request();
    EXPECT_FALSE(failing.finish());
    failing.request();
    EXPECT_FALSE(failing.finish());

    DiskSync idle(-1);
    EXPECT_TRUE(idle.finish());
}
#endif

}  // namespace
}  // namespace drennix::testing
