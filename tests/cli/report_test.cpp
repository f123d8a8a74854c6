// What the command line makes of a run: the recording host, the JSON and
// text reports and the exit status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <csignal>
#include <sstream>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "captions.h"
#include "cli_host.h"
#include "exit_status.h"
#include "interrupt.h"
#include "json_report.h"
#include "text_report.h"
#include "tools_export.h"

namespace drennix::cli {
namespace {

const std::string fffd = "\xEF\xBF\xBD";

// The row of line 1: a straight move to X 10.
AbsoluteRow rowWithSource(std::string source)
{
    return AbsoluteRow{{"1", std::move(source), "10.000", "", "", "", "", "", "", "", "10.000"}};
}

TEST(cli_host, a_new_absolute_display_replaces_the_rows_of_the_previous_one)
{
    CliHost host([] { return false; });
    const AbsoluteRow first = rowWithSource("");
    host.readingStarted(RunMode::AbsoluteDisplay, &first);
    host.row(1, rowWithSource("G0X1."));
    const AbsoluteRow second = rowWithSource("start");
    host.readingStarted(RunMode::AbsoluteDisplay, &second);
    ASSERT_EQ(host.record().rows.size(), 1u);
    EXPECT_EQ(host.record().rows[0].cells[1], "start");
}

// The interrupt handler in this process: the first interrupt is one stop
// request, taken once; on Windows a second console event is left to the
// system, which ends the process (on Linux SA_RESETHAND does the same and
// the end-to-end test sends the signal).
TEST(interrupt, the_first_interrupt_is_one_stop_request)
{
    EXPECT_FALSE(interruptReceived());
    EXPECT_FALSE(takeInterruptRequest());
    EXPECT_FALSE(interruptSignal());
    installInterruptHandler();
#if defined(_WIN32)
    EXPECT_FALSE(handleConsoleControl(CTRL_CLOSE_EVENT));
    EXPECT_FALSE(interruptReceived());
    EXPECT_TRUE(handleConsoleControl(CTRL_C_EVENT));
#else
    ASSERT_EQ(std::raise(SIGINT), 0);
#endif
    EXPECT_TRUE(interruptReceived());
    // The signal the run reads once a line stands until the request is taken.
    EXPECT_TRUE(interruptSignal());
    EXPECT_TRUE(takeInterruptRequest());
    EXPECT_FALSE(interruptSignal());
    EXPECT_FALSE(takeInterruptRequest());
    EXPECT_TRUE(interruptReceived());
#if defined(_WIN32)
    EXPECT_FALSE(handleConsoleControl(CTRL_BREAK_EVENT));
    EXPECT_FALSE(handleConsoleControl(CTRL_C_EVENT));
    EXPECT_FALSE(takeInterruptRequest());
#endif
}

TEST(exit_status, follows_the_outcome_unless_interrupted)
{
    const auto status = [](RunOutcome outcome, bool interrupted) {
        RunResult result;
        result.outcome = outcome;
        return exitStatusFor(result, interrupted);
    };
    for (const RunOutcome finished : {RunOutcome::Calculated, RunOutcome::Converted, RunOutcome::NothingConverted}) {
        EXPECT_EQ(status(finished, false), exitFinished);
        EXPECT_EQ(status(finished, true), exitInterrupted);
    }
    for (const RunOutcome failed : {RunOutcome::InputRejected, RunOutcome::LineRejected, RunOutcome::SourceCloseFailed,
                                    RunOutcome::OutputFailed}) {
        EXPECT_EQ(status(failed, false), exitWarning);
    }
    EXPECT_EQ(status(RunOutcome::Stopped, false), exitInterrupted);
}

TEST(json_report, keys_and_fields_in_report_order_and_rows_only_in_absolute_mode)
{
    using Json = nlohmann::ordered_json;
    RunRecord record;
    Json fields = Json::object();
    for (const std::string key :
         {"lineCount", "machiningTime", "rapidDistance", "cuttingDistance", "minX", "minY", "minZ", "maxX", "maxY",
          "maxZ", "arcCount", "helicalCount", "radiusDifference", "maxRadius"})
        fields[key] = key + "-text";
    for (const ResultFieldLabel& label : resultFieldLabels)
        record.fields[label.field] = std::string(label.jsonKey) + "-text";
    record.rows.push_back(rowWithSource("G0X1.(\xB1\x8A\xBF)"));
    const Json row = Json::array({"1", "G0X1.(ｱ漢)", "10.000", "", "", "", "", "", "", "", "10.000"});
    const Json expected = {{"messages", Json::array()},
                           {"fields", fields},
                           {"rows", {row}},
                           {"output", nullptr},
                           {"verification", nullptr}};
    EXPECT_EQ(buildJsonReport(record, RunMode::AbsoluteDisplay).dump(), expected.dump());
    EXPECT_TRUE(buildJsonReport(record, RunMode::ConvertArcs)["rows"].empty());
}

TEST(json_report, output_path_and_messages_are_valid_utf8)
{
    RunRecord record;
    record.messages.push_back({MessageKind::Information, "dir\x8A/part_con.nc\n　を作成しました。"});
    record.outputPath = "dir\x8A/part_con.nc";
    const nlohmann::json parsed = nlohmann::json::parse(renderJsonReport(record, RunMode::ConvertHelical));
    EXPECT_EQ(parsed["output"], "dir" + fffd + "/part_con.nc");
    EXPECT_EQ(parsed["messages"][0],
              nlohmann::json({{"kind", "information"}, {"text", "dir" + fffd + "/part_con.nc\n　を作成しました。"}}));
}

TEST(text_report, rows_follow_a_header_of_the_column_titles)
{
    std::ostringstream out;
    writeAbsoluteRows(out, {rowWithSource("X1.(\xB1)")});
    EXPECT_EQ(out.str(),
              "行\tデータ\tＸ\tＹ\tＺ\t半径\t始角\t終角\tＲ差\t \t移動距離\n"
              "1\tX1.(ｱ)\t10.000\t\t\t\t\t\t\t\t10.000\n");
}

TEST(report, verification_in_both_reports)
{
    RunRecord record;
    record.verification = VerificationSummary{4, 632, 0.0014162, 8, 0.0005};
    const nlohmann::json parsed = nlohmann::json::parse(renderJsonReport(record, RunMode::ConvertArcs));
    const nlohmann::json& v = parsed["verification"];
    EXPECT_EQ(v["arcs"], 4);
    EXPECT_EQ(v["lines"], 632);
    EXPECT_EQ(v["maxDeviation"].get<double>(), 0.0014162);
    EXPECT_EQ(v["maxDeviationLine"], 8);
    EXPECT_EQ(v["maxEndError"].get<double>(), 0.0005);
    // The distances in the number format of the settings (here 3 and 4
    // decimals), the counts as integers.
    std::ostringstream text;
    writeVerification(text, *record.verification, 3);
    EXPECT_EQ(text.str(), "変換円弧数：4\n変換後行数：632\n最大偏差：0.001\n最大偏差行：8\n最大終点誤差：0.001\n");
    std::ostringstream fine;
    writeVerification(fine, *record.verification, 4);
    EXPECT_NE(fine.str().find("最大偏差：0.0014\n"), std::string::npos);
}

// Only a cell that needs them goes in quotes, so that plain numbers stay
// numbers in a spreadsheet.
TEST(tools_csv, quotes_only_cells_with_a_comma_a_quote_or_a_line_break)
{
    EXPECT_EQ(csvRecord({"T1", "", "2-7", "-1.000"}), "T1,,2-7,-1.000");
    EXPECT_EQ(csvRecord({"100, 200", "2000"}), "\"100, 200\",2000");
    EXPECT_EQ(csvRecord({"a\"b", "c\nd", "e\rf"}), "\"a\"\"b\",\"c\nd\",\"e\rf\"");
    EXPECT_EQ(csvRecord({"", ""}), ",");
    EXPECT_EQ(csvRecord({}), "");
}

}  // namespace
}  // namespace drennix::cli
