#include "absolute_rows.h"

#include "messages.h"
#include "number_format.h"
#include "numerics.h"

namespace drennix {

namespace {

void setPosition(AbsoluteRow& row, const Point3& position, int decimals)
{
    row.cells[ColumnX] = formatFixed(position[AxisIndexX], decimals);
    row.cells[ColumnY] = formatFixed(position[AxisIndexY], decimals);
    row.cells[ColumnZ] = formatFixed(position[AxisIndexZ], decimals);
}

void setArc(AbsoluteRow& row, const ArcPath& arc, int decimals)
{
    row.cells[ColumnRadius] = formatFixed(arc.radius, decimals);
    row.cells[ColumnStartAngle] = formatFixed(toDegrees(arc.startAngle), decimals);
    row.cells[ColumnEndAngle] = formatFixed(toDegrees(arc.endAngle), decimals);
    row.cells[ColumnRadiusDifference] = formatFixed(arc.radiusDifference, decimals);
}

}  // namespace

std::string_view absoluteColumnTitle(int column)
{
    return messages::absoluteColumnTitles.at(static_cast<std::size_t>(column));
}

AbsoluteRow startRow(const Point3& initialPosition, int decimals)
{
    AbsoluteRow row;
    row.cells[ColumnLine] = messages::startRowTitle;
    setPosition(row, initialPosition, decimals);
    return row;
}

AbsoluteRow blockRow(long long lineNumber, std::string_view line, const Point3& position, const Move* move,
                     int decimals)
{
    AbsoluteRow row;
    row.cells[ColumnLine] = formatInteger(lineNumber);
    row.cells[ColumnData] = std::string(line.substr(0, absoluteLineBytes));
    setPosition(row, position, decimals);
    double distance = 0;
    if (move != nullptr) {
        // A radius that underflowed to 0 shows no arc data, as a line
        // without an arc.
        if (move->isArc() && move->arc.radius != 0) {
            setArc(row, move->arc, decimals);
        }
        if (move->helical()) {
            row.cells[ColumnHelical] = messages::helicalMark;
        }
        distance += move->length;
    }
    row.cells[ColumnDistance] = formatFixed(distance, decimals);
    return row;
}

}  // namespace drennix
