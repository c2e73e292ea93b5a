#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// How a text from the clipboard is read into keys before any of them is
// entered.
namespace quintora {

// A number of the text, in the form typing enters it: digits with at most
// one point, no exponent, no leading zeros before other digits ("0.0000001",
// "1234.56", "15").
struct PastedNumber {
  bool negative = false;
  std::string plain;

  friend bool operator==(const PastedNumber&, const PastedNumber&) = default;
};

// One key of a pasted text: a number, or a character of the keyboard's key
// table ("+", "-", "*", "/", "=" or '\r', Enter).
using PasteKey = std::variant<PastedNumber, char>;

// Why a text is refused as a whole.
enum class PasteRefusal {
  Unreadable,  // a character outside the forms, two numbers with nothing
               // between them, grouping not in groups of three, more than
               // 64 characters, or no valid UTF-8
  EntryLimit,  // a number that typing could not enter: longer than the
               // entry's 16 characters
};

inline constexpr std::size_t kMaxPasteCharacters = 64;

// Whether typing the number would fit the entry: its display, the sign and
// a whole number's trailing point included, holds at most 16 characters
// (so at most 15 digits).
bool FitsTheEntry(const PastedNumber& number);

// Reads a text into keys. Blanks and tabs between tokens and at either end
// are ignored; a line break (LF, CRLF or CR) is Enter; "×", "x" and "X"
// multiply and "÷" divides. A number is written as the calculator shows
// it (sign, digits, one point, possibly trailing, an exponent E±nn, a point
// after it) or in the user's locale: `decimal_comma` makes "," the decimal
// point, and "." then groups thousands only when a decimal comma follows or
// when it repeats; otherwise "," groups thousands, before groups of three
// digits only. A single "." with no comma is always the decimal point. A
// "-" at the start or after an operator or Enter signs the number after it.
std::variant<std::vector<PasteKey>, PasteRefusal> ReadPaste(std::string_view text, bool decimal_comma);

}  // namespace quintora
