// The cells of the absolute display list: the start row and one row per
// finished source line, from the position after the line and its move.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "move.h"

namespace drennix {

// The longest part of a source line that the list shows, in bytes.
inline constexpr std::size_t absoluteLineBytes = 98;

enum AbsoluteColumn : int {
    ColumnLine = 0,
    ColumnData,
    ColumnX,
    ColumnY,
    ColumnZ,
    ColumnRadius,
    ColumnStartAngle,
    ColumnEndAngle,
    ColumnRadiusDifference,
    ColumnHelical,
    ColumnDistance,
};
inline constexpr int absoluteColumnCount = 11;

// One row of the list: 11 cells. Cell 1 holds the source line's bytes (code
// page 932) undecoded; the other cells are ASCII or UTF-8.
struct AbsoluteRow {
    std::array<std::string, absoluteColumnCount> cells;
    bool operator==(const AbsoluteRow&) const = default;
};

// The column titles, for hosts that show or print the list.
std::string_view absoluteColumnTitle(int column);

// "開始位置" with the initial X, Y and Z.
AbsoluteRow startRow(const Point3& initialPosition, int decimals);

// The line number, the line's first 98 bytes, the position after the line,
// and of its move (none for a line without one): the radius, the angles in
// degrees and the radius difference of an arc whose radius is not 0, the
// helical mark and the length.
AbsoluteRow blockRow(long long lineNumber, std::string_view line, const Point3& position, const Move* move,
                     int decimals);

}  // namespace drennix
