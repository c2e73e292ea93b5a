#include "KeySession.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

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

}  // namespace

KeySession::KeySession(bool decimal_comma) : decimal_comma_(decimal_comma) {
  calculator_.TimerArmed = kTrue;
  calculator_.ResetStatus();
}

bool KeySession::Press(std::string_view token) {
  if (token == "copy") {
    calculator_.CopyButton_Click();
    return true;
  }
  if (token.starts_with("paste:")) {
    const std::optional<std::string> text = PasteText(token.substr(6));
    if (text) calculator_.Paste(*text, decimal_comma_);
    return text.has_value();
  }
  if (PressAdded(token)) return true;
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

// A key the window adds, by its name.
bool KeySession::PressAdded(std::string_view key) {
  static constexpr std::array<std::pair<std::string_view, AddedKey>, 9> kAdded = {{
      {"Backspace", AddedKey::Backspace},
      {"Escape", AddedKey::Escape},
      {"F1", AddedKey::F1},
      {"Ctrl+P", AddedKey::MemoryPlus},
      {"Ctrl+Q", AddedKey::MemoryMinus},
      {"Ctrl+R", AddedKey::MemoryRecall},
      {"Ctrl+L", AddedKey::MemoryClear},
      {"KP.", AddedKey::KeypadDecimal},
      {"Comma", AddedKey::Comma},
  }};
  for (auto [name, added] : kAdded) {
    if (key != name) continue;
    if (added == AddedKey::Comma && decimal_comma_) added = AddedKey::DecimalComma;
    calculator_.AddedKey_Press(added);
    return true;
  }
  return false;
}

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

std::optional<std::string> PasteText(std::string_view escaped) {
  std::string text;
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '\\') {
      text += escaped[i];
      continue;
    }
    if (++i == escaped.size()) return std::nullopt;
    switch (escaped[i]) {
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 's': text += ' '; break;
      case '\\': text += '\\'; break;
      case 'x': {
        unsigned byte = 0;
        const auto hex = escaped.substr(i + 1, 2);
        const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), byte, 16);
        if (error != std::errc() || end != hex.data() + 2) return std::nullopt;
        text += static_cast<char>(byte);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return text;
}

}  // namespace quintora
