// The text of one address word and the value the reader takes from it.
//
// Coordinates are handled as whole thousandths so that the text and the value
// agree exactly: "X12.345" reads as 12345 / 1000.0, the double nearest to the
// decimal text. A number without a point is read with three implied decimals,
// one division by ten at a time: "X12345" reads as 12345 / 10 / 10 / 10.
#pragma once

#include <string>

namespace drennix::bench {

// How a coordinate word is written.
enum class NumberStyle {
    FullDecimals,     // X12.500
    TrimmedDecimals,  // X12.5, X12.
    ImpliedDecimals,  // X12500
};

// Rounds a coordinate to whole thousandths.
long long toThousandths(double value);

// The value the reader takes from a coordinate word written in `style`.
double wordValue(long long thousandths, NumberStyle style);

// Appends `letter` and the coordinate `thousandths` written in `style`.
void appendCoordinateWord(std::string& out, char letter, long long thousandths, NumberStyle style);

// Appends `letter` and a plain integer (N, M, S, T, P, D, G and F words).
void appendIntegerWord(std::string& out, char letter, long long value);

}  // namespace drennix::bench
