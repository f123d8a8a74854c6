// The words of the toolpath picture, shared by the window and the SVG export.
#pragma once

#include <string_view>

namespace drennix::toolpath::texts {

// Before the box's sizes along X, Y and Z.
inline constexpr std::string_view boxSizeTitle = "範囲";
inline constexpr std::string_view sizeX = "X：";
inline constexpr std::string_view sizeY = "Y：";
inline constexpr std::string_view sizeZ = "Z：";
inline constexpr std::string_view startPoint = "開始位置";

}  // namespace drennix::toolpath::texts
