// The captions of the result fields and the column titles of the absolute
// display list, as the main window and the list window show them, with the
// keys of the JSON report.
#pragma once

#include <array>
#include <string_view>

#include "run_host.h"

namespace drennix::cli {

struct ResultFieldLabel {
    ResultField field;
    std::string_view jsonKey;
    std::string_view caption;
};

// In the order of the report.
inline constexpr std::array<ResultFieldLabel, resultFieldCount> resultFieldLabels{{
    {ResultField::LineCount, "lineCount", "行数："},
    {ResultField::MachiningTime, "machiningTime", "時間："},
    {ResultField::RapidDistance, "rapidDistance", "早送距離："},
    {ResultField::CuttingDistance, "cuttingDistance", "切削距離："},
    {ResultField::MinX, "minX", "最小X："},
    {ResultField::MinY, "minY", "最小Y："},
    {ResultField::MinZ, "minZ", "最小Z："},
    {ResultField::MaxX, "maxX", "最大X："},
    {ResultField::MaxY, "maxY", "最大Y："},
    {ResultField::MaxZ, "maxZ", "最大Z："},
    {ResultField::ArcCount, "arcCount", "円弧数："},
    {ResultField::HelicalCount, "helicalCount", "ﾍﾘｶﾙ切削数："},
    {ResultField::RadiusDifference, "radiusDifference", "R差："},
    {ResultField::MaxRadius, "maxRadius", "最大R："},
}};

// Ｘ, Ｙ, Ｚ and Ｒ are full-width; the tenth title is one space.
inline constexpr std::array<std::string_view, absoluteColumnCount> absoluteColumnTitles{
    "行", "データ", "Ｘ", "Ｙ", "Ｚ", "半径", "始角", "終角", "Ｒ差", " ", "移動距離",
};

// The cell of a row that holds the source line (code page 932 bytes).
inline constexpr int sourceLineColumn = 1;

}  // namespace drennix::cli
