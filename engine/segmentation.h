// Replacing an arc by straight cutting moves that stay within the tolerance
// of the true path: the segment count, the words of the block kept on the
// first generated line, and the generated lines themselves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vocabulary.h"

namespace drennix {

struct RunState;
class AddressTable;

// A segment count above this is refused: the arc would need more lines than
// any program can hold (a huge radius with a small tolerance).
inline constexpr double maximumSegmentCount = 10'000'000;

// The number of segments for an arc of radius r and swept angle s within
// tolerance T; nothing when the count is not finite or above the maximum.
std::optional<long long> segmentCount(double r, double swept, double tolerance);

// The block's own words other than the arc's geometry and its arc G-code,
// spaces kept, followed by the comments.
void appendKeptText(std::string& out, std::string_view codeText, std::string_view commentText,
                    const CommandVocabulary& vocabulary, const AddressTable& addresses);

// A G-code number as the program writes it: "%d" when it is whole, else the
// number format.
void appendCodeNumber(std::string& out, double code, int decimals);

// Generates and stores the straight moves of the current arc, moves the
// position to the arc's end and marks the block as converted; 1 when the arc
// needs too many segments (the run is then rejected).
int convertArc(RunState& state, double swept, std::string_view codeText, std::string_view commentText);

}  // namespace drennix
