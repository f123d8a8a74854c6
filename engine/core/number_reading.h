// The text of a number in a word: its grammar (which rule a malformed text
// breaks) and its value, as the C library's atof gives it, with the implied
// decimal places of axis, centre and radius words.
#pragma once

#include <string_view>

#include "fault.h"

namespace drennix {

// The first number-grammar rule that `text` breaks; FaultId::None when the
// text is a well-formed number.
FaultId numberSyntaxFault(std::string_view text);

// A number of the usual shape, an optional leading sign, digits and at most
// one point, with at least one digit, read in one pass. `exact` is false when
// its value needs the full conversion (parseRawValue).
struct SimpleNumber {
    bool wellFormed = false;
    bool exact = false;
    bool hasPoint = false;
    double value = 0;
};
SimpleNumber scanSimpleNumber(std::string_view text);

// The value of a well-formed number text, as the C library's atof gives it
// (numbers beyond the double range become infinities, tiny ones underflow).
double parseRawValue(std::string_view text);

// The value of an axis, centre or radius word: without a decimal point the
// raw value is divided by 10 once per decimal place.
double parseAxisValue(std::string_view text, int decimalPlaces);
double scaleAxisValue(double rawValue, bool hasPoint, int decimalPlaces);

}  // namespace drennix
