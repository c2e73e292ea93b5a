#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "Calculator.h"

// Random key sequences written out as texts a person or another program
// pastes, and the check that pasting such a text leaves the calculator as
// typing the keys it was written from does. The generator knows the keys;
// the paste reader is never asked.
namespace quintora::test {

// A number as its keys type it ("0.05", "1500"), and its sign.
struct TypedNumber {
  bool negative = false;
  std::string keys;
};

// A number, or a key: + - * / = or '\r' (a line break, Enter).
using PasteToken = std::variant<TypedNumber, char>;

struct PasteCase {
  bool decimal_comma = false;
  std::string before;  // keys typed first, as PressKey reads them
  std::vector<PasteToken> tokens;
  std::string text;       // the tokens written out
  bool readable = true;   // false: made unreadable on purpose, or too long
  std::string after;      // keys pressed after the paste
};

// The source of every choice: a number below n.
using Choice = std::function<std::size_t(std::size_t n)>;

// Presses a key: the characters of the keyboard through Form_KeyPress, and
// 'C' CE, 'B' Backspace, 'M' M+, 'R' MR.
void PressKey(Calculator& c, char key);

PasteCase MakePasteCase(const Choice& below);

// Pastes the text into one calculator and types its keys into a twin, then
// presses the keys after it on both; the first difference, or nothing.
std::optional<std::string> CheckPaste(const PasteCase& c);

}  // namespace quintora::test
