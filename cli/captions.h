// The result fields in the order of the command line's reports, with their
// JSON keys; the captions and column titles come from the engine's texts.
#pragma once

#include <array>
#include <string_view>

#include "absolute_rows.h"
#include "messages.h"
#include "results.h"

namespace drennix::cli {

struct ResultFieldLabel {
    ResultField field;
    std::string_view jsonKey;
    std::string_view caption;
};

constexpr ResultFieldLabel label(ResultField field, std::string_view jsonKey)
{
    return {field, jsonKey, messages::resultCaptions[static_cast<std::size_t>(field)]};
}

// In the order of the report.
inline constexpr std::array<ResultFieldLabel, resultFieldCount> resultFieldLabels{{
    label(ResultField::LineCount, "lineCount"),
    label(ResultField::MachiningTime, "machiningTime"),
    label(ResultField::RapidDistance, "rapidDistance"),
    label(ResultField::CuttingDistance, "cuttingDistance"),
    label(ResultField::MinX, "minX"),
    label(ResultField::MinY, "minY"),
    label(ResultField::MinZ, "minZ"),
    label(ResultField::MaxX, "maxX"),
    label(ResultField::MaxY, "maxY"),
    label(ResultField::MaxZ, "maxZ"),
    label(ResultField::ArcCount, "arcCount"),
    label(ResultField::HelicalCount, "helicalCount"),
    label(ResultField::RadiusDifference, "radiusDifference"),
    label(ResultField::MaxRadius, "maxRadius"),
}};

inline constexpr const auto& absoluteColumnTitles = messages::absoluteColumnTitles;

// The cell of a row that holds the source line (code page 932 bytes).
inline constexpr int sourceLineColumn = ColumnData;

// The summary of several programs: the statuses of runs that ended as they
// should, and the titles of the columns besides the result fields.
namespace summary {
inline constexpr std::string_view calculated = "計算しました";
inline constexpr std::string_view converted = "作成しました";
inline constexpr std::string_view nothingConverted = "変換が有りませんでした";
inline constexpr std::string_view fileTitle = "ﾌｧｲﾙ";
inline constexpr std::string_view statusTitle = "状態";
inline constexpr std::string_view estimateTitle = "推定時間";
inline constexpr std::string_view outputTitle = "作成ﾌｧｲﾙ";
}  // namespace summary

}  // namespace drennix::cli
