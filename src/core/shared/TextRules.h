#pragma once
// Small text rules shared by the core: the numeric value of a text, space-only
// trimming and rounding of halves to the even neighbour.

#include <QString>
#include <QStringView>

namespace varonel::core {

// Removes spaces (U+0020 only) at both ends. Tabs and other blanks are kept,
// because names and device texts are trimmed of spaces only.
QString trimSpaces(QStringView text);

// The number at the start of a text: leading spaces skipped, an optional sign,
// digits and an optional decimal point. "12abc" reads 12; a blank or non-numeric
// text reads 0. Many values travel as text between lists, hence this rule.
double leadingNumber(QStringView text);

// Rounds to the nearest whole number, a half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

}  // namespace varonel::core
