#include "absolute_rows.h"

#include <array>

#include "number_format.h"

namespace drennix {

namespace {

double toDegrees(double radians)
{
    return radians * 180 / piConstant;
}

void setPosition(AbsoluteRow& row, const Point3& position, int decimals)
{
    row.cells[ColumnX] = formatFixed(position[AxisIndexX], decimals);
    row.cells[ColumnY] = formatFixed(position[AxisIndexY], decimals);
    row.cells[ColumnZ] = formatFixed(position[AxisIndexZ], decimals);
}

}  // namespace

std::string_view absoluteColumnTitle(int column)
{
    static constexpr std::array<std::string_view, absoluteColumnCount> titles = {
        "行", "データ", "Ｘ", "Ｙ", "Ｚ", "半径", "始角", "終角", "Ｒ差", " ", "移動距離",
    };
    return titles.at(static_cast<std::size_t>(column));
}

AbsoluteRow startRow(const Point3& initialPosition, int decimals)
{
    AbsoluteRow row;
    row.cells[ColumnLine] = "開始位置";
    setPosition(row, initialPosition, decimals);
    return row;
}

AbsoluteRow blockRow(int lineNumber, std::string_view line, const NcBlock& block, const ModalState& state,
                     const ArcGeometry& arc, int decimals)
{
    AbsoluteRow row;
    row.cells[ColumnLine] = formatInteger(lineNumber);
    row.cells[ColumnData] = std::string(line.substr(0, absoluteLineBytes));
    setPosition(row, state.position, decimals);
    // The angles keep their values from earlier arcs, so they are shown only
    // for a row whose radius is not 0.
    if (block.r != 0) {
        row.cells[ColumnRadius] = formatFixed(block.r, decimals);
        row.cells[ColumnStartAngle] = formatFixed(toDegrees(arc.startAngle), decimals);
        row.cells[ColumnEndAngle] = formatFixed(toDegrees(arc.endAngle), decimals);
        row.cells[ColumnRadiusDifference] = formatFixed(arc.arcRadiusDifference, decimals);
    }
    if (block.helical) {
        row.cells[ColumnHelical] = "ﾍﾘｶﾙ";
    }
    row.cells[ColumnDistance] = formatFixed(block.blockDistance, decimals);
    return row;
}

}  // namespace drennix
