#include "Conversions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace quintora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a number as LeadingNumber takes them from a text.
struct NumberParts {
  bool negative = false;
  std::string mantissa;  // digits with at most one '.'
  std::string exponent;  // sign and digits, or empty
};

NumberParts SplitNumber(const std::string& s) {
  NumberParts parts;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) parts.negative = s[i++] == '-';
  bool point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      parts.mantissa += s[i];
    } else if (s[i] == '.' && !point) {
      point = true;
      parts.mantissa += '.';
    } else {
      break;
    }
  }
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    const std::size_t digits_start = j;
    while (j < s.size() && IsDigit(s[j])) exponent += s[j++];
    if (j > digits_start) parts.exponent = exponent;
  }
  return parts;
}

// Decimal order of magnitude of mantissa x 10^exponent (0 for 1..9.99),
// with the exponent clamped so that huge ones cannot overflow the count.
long OrderOfMagnitude(const NumberParts& parts) {
  long exponent = 0;
  const std::string& e = parts.exponent;
  const bool negative_exponent = !e.empty() && e[0] == '-';
  for (char c : e) {
    if (IsDigit(c)) exponent = std::min(exponent * 10 + (c - '0'), 1'000'000L);
  }
  if (negative_exponent) exponent = -exponent;

  long order = -1;
  bool seen_point = false;
  bool seen_nonzero = false;
  for (char c : parts.mantissa) {
    if (c == '.') {
      seen_point = true;
    } else if (seen_nonzero) {
      if (!seen_point) ++order;
    } else if (c != '0') {
      seen_nonzero = true;
      if (!seen_point) ++order;
    } else if (seen_point) {
      --order;
    }
  }
  return order + exponent;
}

// Whether a number beyond the double range is no larger than the largest
// double written with 15 digits (1.79769313486232E+308). That text stands
// for the largest double, so what the display shows can be read back.
bool IsShownMaximum(const NumberParts& parts) {
  if (OrderOfMagnitude(parts) != 308) return false;
  std::string digits;
  for (char c : parts.mantissa) {
    if (IsDigit(c) && (c != '0' || !digits.empty())) digits += c;
  }
  constexpr std::string_view kMaximum = "179769313486232";
  digits.erase(digits.find_last_not_of('0') + 1);
  return digits.size() <= kMaximum.size() ? digits <= kMaximum : digits < kMaximum;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (char c : text) {
    if (!IsBlank(c)) compact += c;
  }
  const NumberParts parts = SplitNumber(compact);
  if (parts.mantissa.find_first_of("0123456789") == std::string::npos) return 0.0;

  std::string plain = parts.mantissa;
  if (!parts.exponent.empty()) plain += 'e' + parts.exponent;
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    if (IsShownMaximum(parts)) {
      value = std::numeric_limits<double>::max();
    } else {
      value = OrderOfMagnitude(parts) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
  }
  return parts.negative ? -value : value;
}

double OperandValue(const ValueSlot& slot) {
  if (const auto* integer = std::get_if<std::int16_t>(&slot)) return *integer;
  if (const auto* number = std::get_if<double>(&slot)) return *number;
  if (const auto* text = std::get_if<std::string>(&slot)) return LeadingNumber(*text);
  return 0.0;
}

std::string ResultText(double value) {
  // The keys refuse results beyond the double range; should one come here
  // all the same, it is written as the largest double, not as "inf".
  if (std::isnan(value)) return "0";
  if (std::isinf(value)) value = std::copysign(std::numeric_limits<double>::max(), value);
  if (value == 0.0) return "0";

  // Fifteen significant digits, correctly rounded: "-d.ddddddddddddde+XX".
  char buffer[32];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const std::string scientific(buffer, written.ptr);
  const bool negative = scientific[0] == '-';
  const std::size_t e_at = scientific.find('e');
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < e_at; ++i) {
    if (scientific[i] != '.') digits += scientific[i];
  }
  const int exponent = std::stoi(scientific.substr(e_at + 1));
  digits.erase(digits.find_last_not_of('0') + 1);

  std::string text = negative ? "-" : "";
  if (exponent >= -4 && exponent < 15) {
    if (exponent < 0) {
      text += "0." + std::string(-exponent - 1, '0') + digits;
    } else {
      const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        text += digits + std::string(whole - digits.size(), '0');
      } else {
        text += digits.substr(0, whole) + "." + digits.substr(whole);
      }
    }
    return text;
  }
  text += digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  const int magnitude = std::abs(exponent);
  text += exponent < 0 ? "E-" : "E+";
  if (magnitude < 10) text += '0';
  text += std::to_string(magnitude);
  return text;
}

std::string SlotText(const ValueSlot& slot) {
  if (const auto* integer = std::get_if<std::int16_t>(&slot)) return std::to_string(*integer);
  if (const auto* number = std::get_if<double>(&slot)) return ResultText(*number);
  if (const auto* text = std::get_if<std::string>(&slot)) return *text;
  return "";
}

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string points;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
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

std::string MemoryText(double value) {
  std::string magnitude = ResultText(std::fabs(value));
  if (magnitude.starts_with("0.")) magnitude.erase(0, 1);
  return (value < 0 ? "-" : " ") + magnitude;
}

}  // namespace quintora
