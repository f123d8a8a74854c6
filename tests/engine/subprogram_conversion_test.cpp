// The new program of a converting run whose program calls subprograms: the
// calls kept and each subprogram converted where it stands (alike for every
// call), or the whole written flat where the subprograms are expanded; each
// checked beside the run as the command line checks it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "check_alongside.h"
#include "engine_run.h"

namespace drennix::testing {
namespace {

// A host that checks the written program beside the run.
struct CheckingHost : RecordingHost {
    CheckingHost(const Settings& settings, const RunOptions& options) : check(settings, options) {}
    bool wantsWrittenBytes() const override { return true; }
    void arcConverting(const Move& arc) override { check.noteArc(arc); }
    void cycleExpanding(const CyclePlan& cycle) override { check.noteCycle(cycle); }
    void outputWritten(std::string_view bytes, long long linesComplete) override
    {
        check.written(bytes, linesComplete);
    }
    CheckAlongside check;
};

class SubprogramConversion : public ::testing::Test {
protected:
    SubprogramConversion()
    {
        applyDialect(settings.process, Dialect::Fanuc);
        settings.process.calculatorDecimals = 1;
        options.tolerance = 0.05;
    }

    // Converts `name` (written with `source`) in `mode`; the check's result
    // where a program was written.
    VerificationResult convert(const std::string& name, std::string_view source, RunMode mode = RunMode::ConvertArcs)
    {
        options.sourcePath = scratch.write(name, source).string();
        options.runMode = mode;
        CheckingHost host(settings, options);
        returned = RunDriver(settings).execute(options, host);
        messages = host.messages;
        if (returned.outcome != RunOutcome::Converted) {
            host.check.abandon();
            return {};
        }
        return host.check.finish();
    }
    std::string written(const std::string& name) const
    {
        const std::filesystem::path source = scratch / name;
        std::filesystem::path output = source.parent_path() / source.stem();
        output += "_con.nc";
        return readBytes(output);
    }
    // The lines of `text` ended by CR LF, as the new program ends them.
    static std::string crlf(std::string_view text)
    {
        std::string out;
        for (const char c : text) {
            if (c == '\n') out += '\r';
            out += c;
        }
        return out;
    }

    Settings settings;
    RunOptions options;
    RunResult returned;
    std::vector<ShownMessage> messages;
    ScratchDirectory scratch;
};

// An incremental helix called from two places is cut alike at both: its
// cuts stand once in the subprogram, the same as the helix converted on its
// own, and the check follows both calls.
TEST_F(SubprogramConversion, TheCallsStayAndTheSubprogramIsConvertedWhereItStands)
{
    const std::string body = "G91G1Z-6F200\nG2X4I2Z-1F100\nG1Z7\nG90\n";
    const std::string main = "G0X0Y0Z5\nM98P1000\nG0X50\nM98P1000L2\nM30\n";
    const VerificationResult check = convert("part.nc", main + "O1000\n" + body + "M99\n%\n");
    ASSERT_EQ(messages, informationOnly((scratch / "part_con.nc").string() + "\n　を作成しました。"));
    ASSERT_TRUE(check.checked());
    const VerificationResult alone = convert("body.nc", body);
    ASSERT_EQ(returned.outcome, RunOutcome::Converted);
    // Each ends with the empty line after the last line end, as read.
    std::string cuts = written("body.nc");
    cuts.resize(cuts.size() - 2);
    EXPECT_EQ(written("part.nc"), crlf(main + "O1000\n") + cuts + crlf("M99\n%\n\n"));
    EXPECT_EQ(check.summary.arcs, 3);
    EXPECT_EQ(check.summary.lines, 3 * alone.summary.lines);
    EXPECT_EQ(check.summary.maxDeviationLine, 8);
}

// What cannot be written once for every call is refused at its line, and
// nothing is written: an arc cut differently at each call, an arc in a
// subprogram's own file (that file is not written), LinuxCNC's o-word calls.
TEST_F(SubprogramConversion, WhatCannotStandOnceIsRefusedAtItsLine)
{
    const std::string tail = "(ｻﾌﾞﾌﾟﾛｸﾞﾗﾑを展開 で変換して下さい)。";
    convert("part.nc", "G0X0Y0Z5\nM98P1000\nG0X30\nM98P1000\nM30\nO1000\nG2I5F100\nM99\n");
    EXPECT_EQ(messages, warningOnly(lineMessage(7, "行目の ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ の行の変換が呼出し毎に違います" + tail)));
    EXPECT_FALSE(std::filesystem::exists(scratch / "part_con.nc"));

    std::filesystem::create_directories(scratch / "治具");
    scratch.write("治具/O2000.nc", "O2000\nG1X5F100\nG2X15I5Z-1\nM99\n");
    convert("治具/加工.nc", "M98P2000\nG2X0I-7.5\nM30\n", RunMode::ConvertHelical);
    EXPECT_EQ(messages, warningOnly("ﾌｧｲﾙ O2000.nc の3行目の 円弧 は別ﾌｧｲﾙの ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ に有るので変換出来ません" +
                                    tail + kNotConverted));
    // Without an arc there, the file stays as it is and the program's own
    // arc converts.
    scratch.write("治具/O2000.nc", "O2000\nG1X5F100\nG1X15Z-1\nM99\n");
    const VerificationResult beside = convert("治具/加工.nc", "M98P2000\nG2X0I-7.5\nM30\n");
    ASSERT_EQ(returned.outcome, RunOutcome::Converted);
    EXPECT_TRUE(beside.checked()) << static_cast<int>(beside.status) << " " << beside.outputLine;
    EXPECT_EQ(beside.summary.arcs, 1);
    EXPECT_TRUE(written("治具/加工.nc").starts_with("M98P2000\r\nG1X")) << written("治具/加工.nc");

    applyDialect(settings.process, Dialect::LinuxCnc);
    convert("part.nc", "o100 sub\nG2 X2 I1 F100\no100 endsub\nG0 X0\no100 call\nM2\n");
    EXPECT_EQ(messages, warningOnly(lineMessage(
                            5, "行目の o指令 の呼出しと繰返しは ｻﾌﾞﾌﾟﾛｸﾞﾗﾑ のままでは変換出来ません" + tail)));
}

// Expanded, the program is the one a control without subprograms runs: each
// line where it runs, the calls and returns without their words, the
// definitions left out; it converts exactly as that program written by hand.
TEST_F(SubprogramConversion, ExpandedTheProgramIsFlat)
{
    settings.process.expandSubprograms = 1;
    const VerificationResult check = convert(
        "part.nc", "G0X0Y0Z5\nN10M98P1000L2(TWICE)\nG0X30\nM98P1000\nM30\nO1000\nG1Z-1F100\nG2I5\nG0Z5\nM99\n%\n");
    ASSERT_EQ(returned.outcome, RunOutcome::Converted);
    EXPECT_TRUE(check.checked());
    EXPECT_EQ(check.summary.arcs, 3);
    const std::string body = "G1Z-1F100\nG2I5\nG0Z5\n\n";
    const VerificationResult byHand =
        convert("flat.nc", "G0X0Y0Z5\nN10(TWICE)\n" + body + body + "G0X30\n\n" + body + "M30\n%\n");
    ASSERT_EQ(returned.outcome, RunOutcome::Converted);
    EXPECT_EQ(written("part.nc"), written("flat.nc"));
    EXPECT_EQ(check.summary.lines, byHand.summary.lines);

    // LinuxCNC's o-words: the definition and the o-word lines left out.
    applyDialect(settings.process, Dialect::LinuxCnc);
    settings.process.expandSubprograms = 1;
    const VerificationResult linuxcnc =
        convert("calls.nc",
                "o100 sub\nG2 X2 I1 F100\no100 endsub\nG0 X0\no100 call\no101 repeat [2]\nG0 X0\no100 call\n"
                "o101 endrepeat\nM2\n");
    ASSERT_EQ(returned.outcome, RunOutcome::Converted) << messages.front().text;
    EXPECT_TRUE(linuxcnc.checked());
    EXPECT_EQ(linuxcnc.summary.arcs, 3);
    convert("plain.nc", "G0 X0\nG2 X2 I1 F100\nG0 X0\nG2 X2 I1 F100\nG0 X0\nG2 X2 I1 F100\nM2\n");
    EXPECT_EQ(written("calls.nc"), written("plain.nc"));
}

}  // namespace
}  // namespace drennix::testing
