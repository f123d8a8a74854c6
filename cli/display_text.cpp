#include "display_text.h"

#include "captions.h"
#include "cp932.h"

namespace drennix::cli {

std::array<std::string, absoluteColumnCount> displayCells(const AbsoluteRow& row)
{
    std::array<std::string, absoluteColumnCount> cells;
    for (int i = 0; i < absoluteColumnCount; ++i) {
        const std::string& cell = row.cells[i];
        cells[i] = i == sourceLineColumn ? text::decodeCp932ToUtf8(cell) : text::sanitizeUtf8(cell);
    }
    return cells;
}

}  // namespace drennix::cli
