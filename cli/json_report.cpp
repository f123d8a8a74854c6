#include "json_report.h"

#include "captions.h"
#include "cp932.h"
#include "display_text.h"

namespace drennix::cli {
namespace {

using Json = nlohmann::ordered_json;

std::string_view kindName(MessageKind kind)
{
    return kind == MessageKind::Warning ? "warning" : "information";
}

Json messagesJson(const std::vector<RunMessage>& messages)
{
    Json list = Json::array();
    for (const RunMessage& message : messages)
        list.push_back({{"kind", kindName(message.kind)}, {"text", text::sanitizeUtf8(message.text)}});
    return list;
}

Json fieldsJson(const ResultTexts& fields)
{
    Json object = Json::object();
    for (const ResultFieldLabel& label : resultFieldLabels)
        object[std::string(label.jsonKey)] = text::sanitizeUtf8(fields[label.field]);
    return object;
}

Json rowsJson(const std::vector<AbsoluteRow>& rows)
{
    Json list = Json::array();
    for (const AbsoluteRow& row : rows)
        list.push_back(displayCells(row));
    return list;
}

Json estimateJson(const std::optional<Estimate>& estimate)
{
    if (!estimate) return nullptr;
    return {{"seconds", estimate->seconds},
            {"rapidSeconds", estimate->rapidSeconds},
            {"cuttingSeconds", estimate->cuttingSeconds}};
}

Json verificationJson(const std::optional<VerificationSummary>& summary)
{
    if (!summary) return Json(nullptr);
    return {{"arcs", summary->arcs},
            {"lines", summary->lines},
            {"maxDeviation", summary->maxDeviation},
            {"maxDeviationLine", summary->maxDeviationLine},
            {"maxEndError", summary->maxEndError}};
}

// A row as the tally made it: -1 for the tool at the start and for no H,
// line 0 for none; the times in minutes and, where estimated, seconds.
Json toolJson(const ToolRow& row, bool withEstimate)
{
    Json object = Json::object();
    object["tool"] = row.tool;
    object["lengthOffset"] = row.lengthOffset;
    object["firstLine"] = row.firstLine;
    object["lastLine"] = row.lastLine;
    object["cuttingDistance"] = row.cuttingDistance;
    object["rapidDistance"] = row.rapidDistance;
    object["machiningTime"] = row.machiningTime;
    object["estimateSeconds"] = withEstimate ? Json(row.estimateSeconds) : Json(nullptr);
    object["lowestZ"] = row.reachedZ ? Json(row.lowestZ) : Json(nullptr);
    object["feeds"] = row.feeds;
    object["spindleSpeeds"] = row.spindleSpeeds;
    return object;
}

Json toolsJson(const std::optional<std::vector<ToolRow>>& rows, bool withEstimate)
{
    if (!rows) return nullptr;
    Json list = Json::array();
    for (const ToolRow& row : *rows)
        list.push_back(toolJson(row, withEstimate));
    return list;
}

}  // namespace

nlohmann::ordered_json buildJsonReport(const RunRecord& record, RunMode mode, bool withEstimate, bool withTools)
{
    Json report = Json::object();
    report["messages"] = messagesJson(record.messages);
    report["fields"] = fieldsJson(record.fields);
    if (!record.fields.notes.empty()) report["notes"] = record.fields.notes;
    report["rows"] = mode == RunMode::AbsoluteDisplay ? rowsJson(record.rows) : Json::array();
    report["output"] = record.outputPath ? Json(text::sanitizeUtf8(*record.outputPath)) : Json(nullptr);
    report["verification"] = verificationJson(record.verification);
    if (withEstimate) report["estimate"] = estimateJson(record.estimate);
    if (withTools) report["tools"] = toolsJson(record.tools, withEstimate);
    return report;
}

std::string renderJsonReport(const RunRecord& record, RunMode mode, bool withEstimate, bool withTools)
{
    // One line per key, and one line per message and per row: easy to read
    // and to compare, and still one JSON document. Every string was made
    // valid UTF-8 above; replacing instead of throwing only guards against a
    // mistake there.
    const auto dump = [](const Json& value) {
        return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    const Json report = buildJsonReport(record, mode, withEstimate, withTools);
    std::string out = "{\n";
    bool firstKey = true;
    for (const auto& [key, value] : report.items()) {
        out += firstKey ? "  " : ",\n  ";
        firstKey = false;
        out += dump(Json(key)) + ": ";
        if (value.empty() || !value.is_structured()) {
            out += dump(value);
            continue;
        }
        out += value.is_array() ? "[\n" : "{\n";
        std::size_t remaining = value.size();
        for (const auto& [innerKey, inner] : value.items()) {
            out += "    ";
            if (value.is_object()) out += dump(Json(innerKey)) + ": ";
            out += dump(inner) + (--remaining > 0 ? ",\n" : "\n");
        }
        out += value.is_array() ? "  ]" : "  }";
    }
    return out + "\n}";
}

}  // namespace drennix::cli
