// The cells of the absolute display list: the start row and one row per
// finished source line.
#pragma once

#include <string_view>

#include "arc_geometry.h"
#include "block.h"
#include "run_host.h"

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

// The column titles, for hosts that show or print the list.
std::string_view absoluteColumnTitle(int column);

// "開始位置" with the initial X, Y and Z.
AbsoluteRow startRow(const Point3& initialPosition, int decimals);

// The line number, the line's first 98 bytes, the position after the block,
// the arc's radius, angles in degrees and radius difference when the block's
// r is not 0, the helical mark and the block's distance.
AbsoluteRow blockRow(int lineNumber, std::string_view line, const NcBlock& block, const ModalState& state,
                     const ArcGeometry& arc, int decimals);

}  // namespace drennix
