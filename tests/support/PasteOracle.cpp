#include "PasteOracle.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <numeric>
#include <sstream>
#include <utility>

#include "EngineState.h"
#include "HeadlessWindow.h"
#include "Messages.h"

namespace quintora::test {
namespace {

std::string Pick(const Choice& below, std::initializer_list<const char*> forms) {
  return forms.begin()[below(forms.size())];
}

// Zeros come often, so that numbers like 1500 and 0.007 are common.
std::string Digits(const Choice& below, std::size_t count) {
  std::string digits;
  while (digits.size() < count) digits += static_cast<char>('0' + (below(3) == 0 ? 0 : below(10)));
  return digits;
}

std::string Blanks(const Choice& below) { return below(2) ? "" : Pick(below, {" ", "\t", "  ", " \t"}); }

// Mostly short numbers; one in three has 14 to 16 digits, around the
// entry's 16 characters.
TypedNumber MakeNumber(const Choice& below) {
  const bool negative = below(4) == 0;
  const std::size_t count = below(3) == 0 ? 14 + below(3) : 1 + below(6);
  const std::size_t whole_digits = below(2) ? count : below(count);
  std::string whole = Digits(below, whole_digits);
  const std::string fraction = Digits(below, count - whole_digits);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.empty()) whole = "0";
  return {negative, fraction.empty() ? whole : whole + "." + fraction};
}

// The number as a person or a program writes it: as typed or as the
// calculator copies it ("007", ".25", "5."), grouped in the user's locale,
// or with an exponent.
std::string WriteNumber(const TypedNumber& n, bool decimal_comma, const Choice& below) {
  const std::size_t at = n.keys.find('.');
  const std::string whole = n.keys.substr(0, at);
  const std::string fraction = at == std::string::npos ? "" : n.keys.substr(at + 1);
  const std::string mark = decimal_comma && below(2) ? "," : ".";  // a "." alone is a point anywhere
  std::string digits = whole + fraction;
  const std::size_t form = below(3);
  if (form == 1 && whole.size() > 3) {
    const char* decimal = decimal_comma ? "," : ".";
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i)
      grouped += std::string(i > 0 && (whole.size() - i) % 3 == 0 ? (decimal_comma ? "." : ",") : "") + whole[i];
    // One "." alone would be the decimal point: a decimal comma follows it.
    const bool lone_group = decimal_comma && whole.size() <= 6;
    return grouped + (!fraction.empty() ? decimal + fraction : lone_group || below(2) ? decimal : "");
  }
  if (form == 2 && (fraction.empty() || digits.find_first_not_of('0') != std::string::npos)) {
    // Leading zeros dropped, and a whole number's trailing ones, as the
    // calculator writes it; the point after the first digit, or elsewhere.
    const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size() - 1);
    digits.erase(0, zeros);
    if (fraction.empty())
      while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const std::size_t point = below(3) ? 1 : below(digits.size() + 1);
    const long exponent = static_cast<long>(whole.size()) - static_cast<long>(zeros + point);
    std::string written = digits.substr(0, point) + (point < digits.size() ? mark + digits.substr(point) : "");
    written += Pick(below, {"E", "e"});
    written += exponent < 0 ? "-" : Pick(below, {"+", ""});
    if (std::labs(exponent) < 10) written += Pick(below, {"0", ""});
    return written + std::to_string(std::labs(exponent)) + Pick(below, {".", ""});
  }
  std::string written = Pick(below, {"", "0"});
  written += whole == "0" && !fraction.empty() && below(2) ? "" : whole;
  return written + (fraction.empty() ? Pick(below, {"", mark.c_str()}) : mark + fraction);
}

std::string WriteKey(char key, const Choice& below) {
  switch (key) {
    case '*': return Pick(below, {"*", "×", "x", "X"});
    case '/': return Pick(below, {"/", "÷"});
    case '\r': return Pick(below, {"\n", "\r\n", "\r"});
    default: return std::string(1, key);
  }
}

// Characters after trimming blanks and tabs at both ends.
std::size_t Length(std::string text) {
  text.erase(0, std::min(text.find_first_not_of(" \t"), text.size()));
  text.erase(text.find_last_not_of(" \t") + 1);
  return std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

std::string Describe(const PasteCase& c) {
  std::ostringstream out;
  out << "keys before '" << c.before << "', paste '";
  for (const char ch : c.text) out << (ch == '\r' ? "\\r" : ch == '\n' ? "\\n" : ch == '\t' ? "\\t" : std::string(1, ch));
  out << "'" << (c.decimal_comma ? " (decimal comma)" : "") << (c.readable ? " of keys" : " unreadable");
  for (const PasteToken& token : c.tokens) {
    if (const auto* n = std::get_if<TypedNumber>(&token)) {
      out << " " << (n->negative ? "-" : "") << n->keys;
    } else {
      out << " " << (std::get<char>(token) == '\r' ? "Enter" : std::string(1, std::get<char>(token)));
    }
  }
  out << ", keys after '" << c.after << "'";
  return out.str();
}

std::size_t MessagesShown(const HeadlessWindow& window) {
  return std::count_if(window.log.begin(), window.log.end(), [](const std::string& l) { return l.starts_with("message"); });
}

// The twin: the keys of the tokens typed, except where paste is defined to
// differ from typing. A text that cannot be read, or with a number the entry
// cannot hold, is refused whole. A signed number starts as a negative entry
// begun; a number at the start replaces the number being typed, and taking
// its first key back brings that number back. A refused key ends it.
void TypeTokens(Calculator& twin, HeadlessWindow& window, const PasteCase& c) {
  const auto refuse = [&](const char* message) {
    window.ShowMessage(message, std::nullopt);
    window.SetTimerEnabled(false);
    twin.TimerArmed = kFalse;
  };
  if (!c.readable) return refuse(messages::kPasteRefused);
  // The characters each number shows; the first goes on a negative entry begun.
  const bool negative_entry = twin.EntryState == entry::kNeg;
  for (std::size_t i = 0; i < c.tokens.size(); ++i) {
    const auto* n = std::get_if<TypedNumber>(&c.tokens[i]);
    const bool sign = n && (n->negative || (i == 0 && negative_entry));
    if (n && n->keys.size() + (n->keys.find('.') == std::string::npos) + sign > 16)
      return refuse(messages::kEntryLimit);
  }
  const bool typing = twin.EntryState == entry::kNums || twin.EntryState == entry::kDigi;
  for (std::size_t i = 0; i < c.tokens.size(); ++i) {
    const std::size_t shown = MessagesShown(window);
    if (const auto* key = std::get_if<char>(&c.tokens[i])) {
      PressKey(twin, *key);
    } else {
      const auto& n = std::get<TypedNumber>(c.tokens[i]);
      std::optional<StatusRecord> replaced;
      if (n.negative) {
        twin.MarkStatus();
        twin.EntryState = entry::kNeg;
        twin.Readout = "0.";
      } else if (i == 0 && typing) {
        replaced = StateOf(twin);
        twin.EntryState = entry::kNone;
      }
      for (std::size_t k = 0; k < n.keys.size() && MessagesShown(window) == shown; ++k) {
        PressKey(twin, n.keys[k]);
        if (replaced) twin.StatusSnapshot = *std::exchange(replaced, std::nullopt);
      }
    }
    if (MessagesShown(window) > shown) return;
  }
}

// Everything but the focus: the fields, the snapshot, the memory indicator,
// the timer, and the messages the window showed.
std::optional<std::string> Difference(const Calculator& pasted, const HeadlessWindow& pasted_window,
                                      const Calculator& typed, const HeadlessWindow& typed_window) {
  const auto effects = [](const HeadlessWindow& w) {
    std::string lines;
    for (const std::string& line : w.log)
      if (!line.starts_with("focus")) lines += line + "; ";
    return lines;
  };
  if (FieldsOf(pasted) == FieldsOf(typed) && effects(pasted_window) == effects(typed_window)) return std::nullopt;
  std::ostringstream out;
  out << "\n pasted: ";
  PrintTo(FieldsOf(pasted), &out);
  out << "\n   " << effects(pasted_window) << "\n typed:  ";
  PrintTo(FieldsOf(typed), &out);
  out << "\n   " << effects(typed_window);
  return out.str();
}

}  // namespace

void PressKey(Calculator& c, char key) {
  switch (key) {
    case 'C': c.LbCancelaEntrada_Click(); break;
    case 'B': c.AddedKey_Press(AddedKey::Backspace); break;
    case 'M': c.TeclaMemoria_Click(0); break;
    case 'R': c.TeclaMemoria_Click(2); break;
    default: {
      std::int16_t code = static_cast<unsigned char>(key);
      c.Form_KeyPress(code);
    }
  }
}

PasteCase MakePasteCase(const Choice& below) {
  PasteCase c;
  c.decimal_comma = below(2);
  // Before: numbers being typed, operators, a negative entry begun ("+-"),
  // the memory, CE, Backspace, and messages (a division by zero, the
  // entry's limit).
  for (std::size_t n = below(4); n > 0; --n) {
    if (below(3) == 0) {
      c.before += Digits(below, 1 + below(4));
      c.before += Pick(below, {"", ".", ".5"});
    } else {
      c.before += Pick(below, {"+", "-", "*", "/", "=", "+-", "/0=", "M", "R", "C", "B", "12345678901234567"});
    }
  }
  if (below(3) == 0) c.before += "+-";
  for (std::size_t n = 1 + below(5); n > 0; --n) {
    if ((c.tokens.empty() || std::holds_alternative<char>(c.tokens.back())) && below(3)) {
      c.tokens.push_back(MakeNumber(below));
    } else {
      c.tokens.emplace_back(std::in_place_type<char>, "+-*/=\r"[below(6)]);
    }
  }
  // A "-" after no number signs the number after it.
  for (std::size_t i = 0; i + 1 < c.tokens.size(); ++i) {
    const auto* minus = std::get_if<char>(&c.tokens[i]);
    auto* next = std::get_if<TypedNumber>(&c.tokens[i + 1]);
    if (minus && *minus == '-' && next && !next->negative &&
        (i == 0 || std::holds_alternative<char>(c.tokens[i - 1]))) {
      next->negative = true;
      c.tokens.erase(c.tokens.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }

  // Blanks around every token (even pieces), the tokens written (odd ones).
  std::vector<std::string> pieces{Blanks(below)};
  for (const PasteToken& token : c.tokens) {
    const auto* n = std::get_if<TypedNumber>(&token);
    std::string written = n && n->negative ? "-" + Blanks(below) : "";
    written += n ? WriteNumber(*n, c.decimal_comma, below) : WriteKey(std::get<char>(token), below);
    // A lone CR and the LF after it would be one line break.
    if (pieces.size() > 1 && pieces[pieces.size() - 2] == "\r" && pieces.back().empty() && written[0] == '\n')
      pieces.back() = " ";
    pieces.push_back(written);
    pieces.push_back(Blanks(below));
  }

  // Unreadable on purpose: a character outside the forms or not UTF-8, two
  // numbers with nothing between them, an exponent without digits, grouping
  // not in threes.
  if (below(5) == 0) {
    c.readable = false;
    const std::size_t token = below(c.tokens.size());
    const bool number = std::holds_alternative<TypedNumber>(c.tokens[token]);
    switch (number ? below(4) : 0) {
      case 0: pieces[2 * below(c.tokens.size() + 1)] += Pick(below, {"a", "?", "#", ";", "\xff"}); break;
      case 1: pieces[2 * token + 1] += Pick(below, {" ", "\t"}) + Digits(below, 1); break;
      case 2: pieces[2 * token + 1] += Pick(below, {"E ", "e "}); break;
      default:
        pieces.back() += Pick(below, {"+", "*", "\n"}) + "1,";
        pieces.back() += Digits(below, static_cast<std::size_t>("124"[below(3)] - '0')) + ",234";
    }
  }
  const auto text = [&] { return std::accumulate(pieces.begin(), pieces.end(), std::string()); };
  // The longest text read, or one character more.
  if (const std::size_t target = 64 + below(2); c.tokens.size() > 1 && below(3) == 0 && Length(text()) < target)
    pieces[2 + 2 * below(c.tokens.size() - 1)].append(target - Length(text()), ' ');
  c.text = text();
  c.readable = c.readable && Length(c.text) <= 64;

  for (std::size_t n = 1 + below(4); n > 0; --n) c.after += "0123456789.+-*/=CB"[below(18)];
  return c;
}

std::optional<std::string> CheckPaste(const PasteCase& c) {
  HeadlessWindow pasted_window, typed_window;
  Calculator pasted(pasted_window), typed(typed_window);
  for (Calculator* calculator : {&pasted, &typed}) {
    calculator->TimerArmed = kTrue;
    calculator->ResetStatus();
    for (const char key : c.before) PressKey(*calculator, key);
  }
  pasted.Paste(c.text, c.decimal_comma);
  TypeTokens(typed, typed_window, c);
  std::string when = "after the paste";
  auto difference = Difference(pasted, pasted_window, typed, typed_window);
  for (std::size_t i = 0; !difference && i < c.after.size(); ++i) {
    PressKey(pasted, c.after[i]);
    PressKey(typed, c.after[i]);
    when = "after the keys '" + c.after.substr(0, i + 1) + "'";
    difference = Difference(pasted, pasted_window, typed, typed_window);
  }
  if (!difference) return std::nullopt;
  return "paste differs from typing " + when + ": " + Describe(c) + *difference;
}

}  // namespace quintora::test
