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

// The colours of four bands, from good to bad: the speeds a move reaches
// (move_speeds.h) and, the first, the third and the last, the deviation of
// the written straight moves of a converted arc (written_path.h).
inline constexpr Colour deviationColours[] = {{40, 160, 70}, {150, 190, 30}, {235, 160, 0}, {215, 30, 30}};
// The colour of each band of deviation, in deviationColours.
inline constexpr int deviationColourOf[] = {0, 2, 3};

}  // namespace drennix::toolpath
