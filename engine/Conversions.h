#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ValueSlot.h"

// Text <-> number conversions of the calculator. All of them are exact and
// independent of the locale: the decimal point is always ".".
namespace quintora {

// Reads the number at the start of a text. Blanks, tabs and line feeds are
// ignored wherever they stand; then an optional sign, digits with at most one
// ".", and an optional exponent (E or D, optional sign, digits). Reading stops
// at the first character that cannot continue the number. A text that does
// not start with a number reads as 0; a magnitude beyond the double range
// reads as an infinity, one below it as zero. Never fails.
double LeadingNumber(std::string_view text);

// The number a slot stands for in arithmetic: a number as it is, empty as 0,
// a text by its leading number.
double OperandValue(const ValueSlot& slot);

// A double rounded to 15 significant digits in its shortest form: plain
// notation for magnitudes from 0.0001 up to below 1E+15, scientific ("1E+15",
// "1.5E-07") otherwise. Zero, negative zero included, gives "0"; an infinity
// the largest double of its sign, and NaN "0".
std::string ResultText(double value);

// A slot written as results are written: empty gives "", the integer 0 gives
// "0", a double its result text, a text itself.
std::string SlotText(const ValueSlot& slot);

// The memory recall form of a value: like ResultText, but a value of zero or
// above gets a leading blank, and a value between -1 and 1 has no 0 before
// its point (" .25", "-.25", " 1E+20").
std::string MemoryText(double value);

// The code points of a UTF-8 text, or nothing when it is not valid UTF-8
// (overlong forms and surrogates included).
std::optional<std::u32string> DecodeUtf8(std::string_view text);

}  // namespace quintora
