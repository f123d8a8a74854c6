// The text forms of the numbers in the dialogs' edits: how a typed text is
// read as an integer or a number, and how a number is first shown.
#pragma once

#include <optional>

#include <QString>

// A decimal integer in the 32-bit range: optional sign and digits, with
// blanks around them allowed.
std::optional<int> parseInteger(const QString& text);

// A finite decimal number: optional sign, digits with at most one point
// (".5" and "5." included), optional exponent, blanks around allowed.
// Full-width digits, signs and points are read as their ASCII forms.
// "inf", "nan" and hexadecimal forms are refused.
std::optional<double> parseNumber(const QString& text);

// The shortest text that reads back as exactly `value`: 0, 1, 17, 0.01, 2.5.
QString formatNumber(double value);
