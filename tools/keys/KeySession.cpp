#include "KeySession.h"

#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "Captions.h"
#include "Conversions.h"

namespace quintora {
namespace {

template <std::size_t N>
std::optional<std::int16_t> IndexOf(const std::array<const char*, N>& keys, std::string_view key) {
  for (std::size_t i = 0; i < N; ++i) {
    if (keys[i] == key) return static_cast<std::int16_t>(i);
  }
  return std::nullopt;
}

std::optional<std::int16_t> DigitOf(std::string_view key) {
  if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return std::int16_t(key[0] - '0');
  return std::nullopt;
}

// The code points of a UTF-8 text, or nothing when it is not valid UTF-8.
std::optional<std::vector<char32_t>> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3
                                       : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next >> 6) != 2) return std::nullopt;
      point = (point << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    if (point < kSmallest[length] || point > 0x10FFFF || surrogate) return std::nullopt;
    points.push_back(point);
    i += length;
  }
  return points;
}

}  // namespace

KeySession::KeySession() {
  calculator_.TimerArmed = kTrue;
  calculator_.ResetStatus();
}

bool KeySession::Press(std::string_view token) {
  if (token == "copy") {
    calculator_.CopyButton_Click();
    return true;
  }
  if (token.size() > 1 && token[0] == 'b') return PressButton(token.substr(1));
  if (token.size() > 1 && token[0] == 'k') return Type(token.substr(1));
  return PressSkin(token);
}

// A click on a key label of the skin; the pointer reached it first, so the
// hover feedback has put the key's symbol into its caption.
bool KeySession::PressSkin(std::string_view token) {
  if (const auto digit = DigitOf(token)) {
    const ControlRef label{ControlName::TeclaNumero, *digit};
    window_.Hover(label);
    calculator_.TeclaNumero_Click(*digit);
  } else if (const auto op = IndexOf(kOperatorLabelCaptions, token)) {
    const ControlRef label{ControlName::TeclaOpera, *op};
    window_.Hover(label);
    calculator_.TeclaOpera_Click(*op);
  } else if (const auto memory = IndexOf(kMemoryLabelCaptions, token)) {
    calculator_.TeclaMemoria_Click(*memory);
  } else if (token == ".") {
    calculator_.LbDecimal_Click();
  } else if (token == "C") {
    calculator_.LbCancel_Click();
  } else if (token == "CE") {
    calculator_.LbCancelaEntrada_Click();
  } else {
    return false;
  }
  return true;
}

// A click on a hidden push button.
bool KeySession::PressButton(std::string_view key) {
  if (const auto digit = DigitOf(key)) {
    calculator_.NumKey_Click(*digit);
  } else if (const auto op = IndexOf(kOperatorButtonCaptions, key)) {
    calculator_.Operator_Click(*op);
  } else if (key == ".") {
    calculator_.Decimal_Click();
  } else {
    return false;
  }
  return true;
}

// A key typed on the keyboard: one character, or a named key.
bool KeySession::Type(std::string_view key) {
  static constexpr std::array<std::pair<std::string_view, std::int16_t>, 5> kNamed = {
      {{"Enter", 13}, {"Space", 32}, {"Tab", 9}, {"Backspace", 8}, {"Escape", 27}}};
  if (key == "Del") {
    calculator_.Form_KeyDown(Calculator::kDeleteKeyCode, 0);
    return true;
  }
  for (const auto& [name, code] : kNamed) {
    if (key == name) {
      TypeCode(code);
      return true;
    }
  }
  const auto points = DecodeUtf8(key);
  if (!points || points->size() != 1) return false;
  const char32_t point = points->front();
  if (point <= 0xFFFF) {
    TypeCode(static_cast<std::int16_t>(point));
  } else {  // beyond 16 bits the character arrives as its two surrogates
    const char32_t offset = point - 0x10000;
    TypeCode(static_cast<std::int16_t>(0xD800 + (offset >> 10)));
    TypeCode(static_cast<std::int16_t>(0xDC00 + (offset & 0x3FF)));
  }
  return true;
}

void KeySession::TypeCode(std::int16_t code) { calculator_.Form_KeyPress(code); }

std::string KeySession::Json() const {
  const Calculator& c = calculator_;
  const auto optional_text = [](const std::optional<std::string>& text) {
    return text ? JsonString(*text) : std::string("null");
  };
  std::string json = "{";
  json += "\"readout\":" + JsonString(c.Readout);
  json += ",\"memoFlag\":" + JsonString(c.lblMemoFlag);
  json += ",\"memoVisible\":" + std::string(c.lblMemoFlagVisible ? "true" : "false");
  json += ",\"memory\":" + JsonString(SlotText(c.MemoryValue));
  json += ",\"entryState\":" + JsonString(c.EntryState);
  json += ",\"pendingOperator\":" + JsonString(c.PendingOperator);
  json += ",\"operandCount\":" + std::to_string(c.OperandCount);
  json += ",\"message\":" + optional_text(window_.message);
  json += ",\"messageBox\":" + optional_text(window_.message_box);
  json += ",\"clipboard\":" + optional_text(window_.clipboard);
  return json + "}";
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace quintora
