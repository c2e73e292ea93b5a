#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Calculator.h"
#include "HeadlessWindow.h"

namespace quintora {

// A freshly started calculator driven by key tokens ("7", "X", "b*", "k.",
// "kEnter", "kDel", "copy", "Backspace", "paste:7+2=", ...), as the key
// harness reads them. `decimal_comma`: the user's decimal separator is a
// comma (the comma key and paste read numbers so).
class KeySession {
 public:
  explicit KeySession(bool decimal_comma = false);

  // Runs one key; false when the token names no key (nothing happens then).
  bool Press(std::string_view token);

  // The state as one line of JSON.
  std::string Json() const;

  Calculator& calculator() { return calculator_; }
  HeadlessWindow& window() { return window_; }

 private:
  bool PressSkin(std::string_view token);
  bool PressButton(std::string_view key);
  bool Type(std::string_view key);
  void TypeCode(std::int16_t code);
  bool PressAdded(std::string_view key);

  bool decimal_comma_;
  HeadlessWindow window_;
  Calculator calculator_{window_};
};

// JSON string literal of a UTF-8 text.
std::string JsonString(std::string_view text);

// The text of a paste token: \n, \r, \t, \s (blank), \\ and \xHH stand for
// what they name; nothing when an escape is incomplete.
std::optional<std::string> PasteText(std::string_view escaped);

}  // namespace quintora
