#pragma once

#include <string>
#include <string_view>

#include "Calculator.h"
#include "HeadlessWindow.h"

namespace quintora {

// A freshly started calculator driven by key tokens ("7", "X", "b*", "k.",
// "kEnter", "kDel", "copy", ...), as the key harness reads them.
class KeySession {
 public:
  KeySession();

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

  HeadlessWindow window_;
  Calculator calculator_{window_};
};

// JSON string literal of a UTF-8 text.
std::string JsonString(std::string_view text);

}  // namespace quintora
