#include "Paste.h"

#include <algorithm>
#include <optional>

#include "Calculator.h"
#include "Conversions.h"
#include "Messages.h"

namespace quintora {
namespace {

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsBlank(char32_t c) { return c == ' ' || c == '\t'; }

// The operator keys a character stands for.
std::optional<char> OperatorOf(char32_t c) {
  switch (c) {
    case '+': case '-': case '*': case '/': case '=': return static_cast<char>(c);
    case U'×': case 'x': case 'X': return '*';
    case U'÷': return '/';
    default: return std::nullopt;
  }
}

// The digits of a mantissa written with separators: its whole part without
// grouping, its fraction, or nothing when the separators are not used as the
// locale uses them.
struct Mantissa {
  std::string whole;
  std::string fraction;
  bool point = false;
};

// Whether the groups of a whole part split at `separator` are thousands:
// one to three digits first, then three each.
bool GroupsOfThree(std::u32string_view whole, char32_t separator) {
  std::size_t start = 0;
  for (bool first = true;; first = false) {
    const std::size_t end = whole.find(separator, start);
    const std::size_t length = (end == std::u32string_view::npos ? whole.size() : end) - start;
    if (first ? (length == 0 || length > 3) : length != 3) return false;
    if (end == std::u32string_view::npos) return true;
    start = end + 1;
  }
}

std::optional<Mantissa> ReadMantissa(std::u32string_view run, bool decimal_comma) {
  const auto count = [&](char32_t c) { return std::count(run.begin(), run.end(), c); };
  const std::size_t points = count('.');
  const std::size_t commas = count(',');
  // The decimal separator and the grouping one, as this run uses them.
  char32_t decimal = '.';
  char32_t grouping = ',';
  if (decimal_comma && (commas == 1 || points > 1)) {
    decimal = ',';
    grouping = '.';
  }
  if (decimal == '.' ? points > 1 : commas > 1) return std::nullopt;

  const std::size_t at = run.find(decimal);
  const std::u32string_view whole = run.substr(0, at);
  const std::u32string_view fraction = at == std::u32string_view::npos ? U"" : run.substr(at + 1);
  if (fraction.find(grouping) != std::u32string_view::npos) return std::nullopt;
  if (whole.find(grouping) != std::u32string_view::npos && !GroupsOfThree(whole, grouping)) return std::nullopt;

  Mantissa m;
  m.point = at != std::u32string_view::npos;
  for (char32_t c : whole)
    if (IsDigit(c)) m.whole += static_cast<char>(c);
  for (char32_t c : fraction) m.fraction += static_cast<char>(c);
  if (m.whole.empty() && m.fraction.empty()) return std::nullopt;
  return m;
}

// The form typing enters for mantissa x 10^exponent: the point moved by
// the exponent, leading zeros of the whole part dropped.
std::string PlainForm(const Mantissa& m, long exponent) {
  const std::string digits = m.whole + m.fraction;
  const long point = static_cast<long>(m.whole.size()) + exponent;
  std::string whole;
  std::string fraction;
  if (point <= 0) {
    fraction = std::string(static_cast<std::size_t>(-point), '0') + digits;
  } else if (point >= static_cast<long>(digits.size())) {
    whole = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
  } else {
    whole = digits.substr(0, static_cast<std::size_t>(point));
    fraction = digits.substr(static_cast<std::size_t>(point));
  }
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.empty()) whole = "0";
  const bool point_typed = exponent == 0 ? m.point && !fraction.empty() : !fraction.empty();
  return point_typed ? whole + "." + fraction : whole;
}

class Reader {
 public:
  Reader(std::u32string_view text, bool decimal_comma) : text_(text), decimal_comma_(decimal_comma) {}

  std::variant<std::vector<PasteKey>, PasteRefusal> Read() {
    while (i_ < text_.size()) {
      const char32_t c = text_[i_];
      if (IsBlank(c)) {
        ++i_;
      } else if (c == '\n' || c == '\r') {
        i_ += c == '\r' && i_ + 1 < text_.size() && text_[i_ + 1] == '\n' ? 2 : 1;
        Key('\r');
      } else if (c == '-' && !after_number_ && NumberFollows(i_ + 1)) {
        ++i_;
        negative_ = true;
      } else if (const auto op = OperatorOf(c)) {
        ++i_;
        Key(*op);
      } else if (NumberStartsAt(i_)) {
        if (after_number_ || !ReadNumber()) return PasteRefusal::Unreadable;
      } else {
        return PasteRefusal::Unreadable;
      }
    }
    if (too_long_) return PasteRefusal::EntryLimit;
    return std::move(keys_);
  }

 private:
  void Key(char key) {
    keys_.emplace_back(key);
    after_number_ = false;
  }

  bool NumberStartsAt(std::size_t i) const {
    if (i < text_.size() && IsDigit(text_[i])) return true;
    const bool separator = i < text_.size() && (text_[i] == '.' || text_[i] == ',');
    return separator && i + 1 < text_.size() && IsDigit(text_[i + 1]);
  }

  bool NumberFollows(std::size_t i) const {
    while (i < text_.size() && IsBlank(text_[i])) ++i;
    return NumberStartsAt(i);
  }

  // digits and separators, an optional exponent, and the trailing point the
  // calculator writes after one ("1E-07.").
  bool ReadNumber() {
    const std::size_t start = i_;
    while (i_ < text_.size() && (IsDigit(text_[i_]) || text_[i_] == '.' || text_[i_] == ',')) ++i_;
    const auto mantissa = ReadMantissa(text_.substr(start, i_ - start), decimal_comma_);
    if (!mantissa) return false;

    long exponent = 0;
    bool has_exponent = false;
    if (i_ < text_.size() && (text_[i_] == 'E' || text_[i_] == 'e')) {
      std::size_t j = i_ + 1;
      const bool minus = j < text_.size() && text_[j] == '-';
      if (j < text_.size() && (text_[j] == '+' || text_[j] == '-')) ++j;
      const std::size_t digits = j;
      while (j < text_.size() && IsDigit(text_[j])) {
        exponent = std::min(exponent * 10 + static_cast<long>(text_[j] - '0'), 1000L);
        ++j;
      }
      if (j == digits) return false;
      if (minus) exponent = -exponent;
      i_ = j;
      has_exponent = true;
      if (i_ < text_.size() && text_[i_] == '.') ++i_;
    }

    // Beyond this the plain form is longer than any entry anyway.
    const bool zero = (mantissa->whole + mantissa->fraction).find_first_not_of('0') == std::string::npos;
    PastedNumber number{negative_, "0"};
    if (!zero || !has_exponent) {
      if (exponent > 40 || exponent < -40) {
        too_long_ = true;
      } else {
        number.plain = PlainForm(*mantissa, exponent);
      }
    }
    if (!FitsTheEntry(number)) too_long_ = true;
    keys_.emplace_back(std::move(number));
    negative_ = false;
    after_number_ = true;
    return true;
  }

  std::u32string_view text_;
  bool decimal_comma_;
  std::size_t i_ = 0;
  std::vector<PasteKey> keys_;
  bool negative_ = false;
  bool after_number_ = false;
  bool too_long_ = false;
};

}  // namespace

bool FitsTheEntry(const PastedNumber& n) {
  const bool whole = n.plain.find('.') == std::string::npos;
  return n.plain.size() + (whole ? 1 : 0) + (n.negative ? 1 : 0) <= 16;
}

std::variant<std::vector<PasteKey>, PasteRefusal> ReadPaste(std::string_view text, bool decimal_comma) {
  const std::optional<std::u32string> points = DecodeUtf8(text);
  if (!points) return PasteRefusal::Unreadable;
  std::u32string_view trimmed = *points;
  while (!trimmed.empty() && IsBlank(trimmed.front())) trimmed.remove_prefix(1);
  while (!trimmed.empty() && IsBlank(trimmed.back())) trimmed.remove_suffix(1);
  if (trimmed.size() > kMaxPasteCharacters) return PasteRefusal::Unreadable;
  return Reader(trimmed, decimal_comma).Read();
}

// Entering: the text is read whole first; then its keys go in one by one,
// and a key the engine refuses ends the paste with that key's message.
void Calculator::Paste(std::string_view text, bool decimal_comma) {
  const auto reading = ReadPaste(text, decimal_comma);
  if (const auto* refusal = std::get_if<PasteRefusal>(&reading)) {
    if (*refusal == PasteRefusal::EntryLimit) {
      ShowLimitMessage();  // as typing the number would
    } else {
      RefusePaste();
    }
    return;
  }
  const auto& keys = std::get<std::vector<PasteKey>>(reading);
  // A number the text starts with goes on a negative entry begun before it.
  if (const auto* number = keys.empty() ? nullptr : std::get_if<PastedNumber>(&keys.front());
      number && EntryState == entry::kNeg && !FitsTheEntry({true, number->plain})) {
    ShowLimitMessage();
    return;
  }
  refused_ = false;
  bool first = true;
  for (const PasteKey& key : keys) {
    if (const auto* number = std::get_if<PastedNumber>(&key)) {
      EnterNumber(*number, first && IsNumberState());
    } else {
      TypeCharacter(std::get<char>(key));
    }
    if (refused_) return;
    first = false;
  }
}

// A pasted number goes in as a new number, typed key by key. Signed, it
// starts as the negative entry after an operator does. At the start of the
// text it replaces a number being typed; taking its first key back brings
// that number back.
void Calculator::EnterNumber(const PastedNumber& number, bool replaces_entry) {
  std::optional<StatusRecord> before;
  if (number.negative) {
    MarkStatus();
    EntryState = entry::kNeg;
    Readout = "0.";
    FocusEquals();
  } else if (replaces_entry) {
    MarkStatus();
    before = StatusSnapshot;
    EntryState = entry::kNone;
  }
  for (const char digit : number.plain) {
    TypeCharacter(digit);
    if (before) {
      StatusSnapshot = *before;
      before.reset();
    }
    if (refused_) return;
  }
}

void Calculator::TypeCharacter(char character) {
  std::int16_t code = character;
  Form_KeyPress(code);
}

// A text that cannot be read: the panel says so, the timer stops, and
// nothing else changes.
void Calculator::RefusePaste() {
  window_.ShowMessage(messages::kPasteRefused, messages::kErrorFontPoints);
  window_.SetTimerEnabled(false);
  TimerArmed = kFalse;
}

}  // namespace quintora
