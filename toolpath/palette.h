// The colours and dashes of the toolpath picture, the same in the window and
// in the SVG export: rapid moves dashed, cutting moves solid, the box and
// the start point in colours of their own.
#pragma once

#include <cstdint>

namespace drennix::toolpath {

struct Colour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr Colour background{255, 255, 255};
inline constexpr Colour cuttingColour{24, 82, 184};
inline constexpr Colour rapidColour{214, 110, 20};
inline constexpr Colour boxColour{150, 150, 150};
inline constexpr Colour startColour{20, 150, 60};
inline constexpr Colour highlightColour{230, 20, 120};
inline constexpr Colour textColour{40, 40, 40};

// The dash of rapid moves and of the box: pixels drawn, pixels left out.
inline constexpr double rapidDash[2] = {6, 4};
inline constexpr double boxDash[2] = {2, 3};

// The written straight moves of a converted arc, by their deviation as a
// fraction of the allowed deviation: up to a quarter, a half, the whole of
// it, and beyond.
inline constexpr double deviationBands[] = {0.25, 0.5, 1.0};
inline constexpr Colour deviationColours[] = {{40, 160, 70}, {150, 190, 30}, {235, 160, 0}, {215, 30, 30}};

}  // namespace drennix::toolpath
