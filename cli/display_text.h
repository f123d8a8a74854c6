// Text made fit for a UTF-8 terminal or JSON document.
#pragma once

#include <array>
#include <string>

#include "absolute_rows.h"

namespace drennix::cli {

// The cells of an absolute display row as UTF-8: the source line decoded from
// code page 932, every other cell with U+FFFD for bytes that are not UTF-8.
std::array<std::string, absoluteColumnCount> displayCells(const AbsoluteRow& row);

}  // namespace drennix::cli
