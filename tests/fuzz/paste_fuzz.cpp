// Coverage-guided fuzzing of paste. The first byte picks the user's decimal
// separator, how many keys are typed first (to reach any entry state) and
// one of two kinds of text:
//  - any bytes, of any length. A text refused as a whole leaves the
//    calculator as it was (snapshot included) and says why; an accepted one
//    leaves the state that typing its keys one by one gives, a number typed
//    as its plain digits. Where paste differs from typing by definition (a
//    signed number, or one that replaces the number being typed), the
//    display shows the digits of the last number instead, with its sign.
//  - a number made from the bytes and written in one of the forms paste
//    reads (as typed, as the calculator copies it, grouped in the user's
//    locale, with an exponent). It enters as exactly that number, or, when
//    typing could not enter it (more than 16 characters on the display), it
//    is refused with the entry-limit message and changes nothing.
// A broken property prints the text and aborts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Calculator.h"
#include "Conversions.h"
#include "EngineState.h"
#include "HeadlessWindow.h"
#include "Messages.h"
#include "Paste.h"

namespace {

using namespace quintora;
using test::FieldsOf;

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
    pos_ = size_;
    return rest;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

std::string text;  // for the report

[[noreturn]] void Fail(const char* what, const Calculator& c) {
  std::fprintf(stderr, "paste broken: %s\ntext: '%s'\nreadout '%s', entry state '%s'\n", what, text.c_str(),
               c.Readout.c_str(), c.EntryState.c_str());
  std::abort();
}

// A number as sign, significant digits and the power of ten of the first
// one; zero has no digits and no sign.
struct Canonical {
  bool negative = false;
  std::string digits;
  long exponent = 0;
  friend bool operator==(const Canonical&, const Canonical&) = default;
};

Canonical CanonicalOf(bool negative, std::string whole, const std::string& fraction) {
  Canonical c;
  std::string digits = whole + fraction;
  long exponent = static_cast<long>(whole.size()) - 1;
  while (!digits.empty() && digits.front() == '0') {
    digits.erase(0, 1);
    --exponent;
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return c;
  return {negative, digits, exponent};
}

// The number an entry shows: a sign, digits, one point.
Canonical CanonicalOfEntry(std::string_view shown) {
  const bool negative = shown.starts_with('-');
  if (negative) shown.remove_prefix(1);
  const std::size_t point = shown.find('.');
  return CanonicalOf(negative, std::string(shown.substr(0, point)),
                     point == std::string_view::npos ? "" : std::string(shown.substr(point + 1)));
}

class Session {
 public:
  Session(Bytes& bytes, bool decimal_comma) : decimal_comma_(decimal_comma) {
    calc_.TimerArmed = kTrue;
    calc_.ResetStatus();
    static constexpr std::string_view kKeys = "0123456789.+-*/=";
    for (int keys = bytes.Next() % 8; keys > 0; --keys) Type(calc_, kKeys[bytes.Next() % kKeys.size()]);
    window_.message.reset();
    window_.message_box.reset();
  }

  void PasteAnything(const std::string& pasted) {
    text = pasted;
    const auto reading = ReadPaste(pasted, decimal_comma_);
    const test::Fields before = FieldsOf(calc_);
    const bool was_typing = calc_.EntryState == entry::kNums || calc_.EntryState == entry::kDigi;
    test::Fields twin_start = before;
    calc_.Paste(pasted, decimal_comma_);

    if (const auto* refusal = std::get_if<PasteRefusal>(&reading)) {
      ExpectRefused(before, *refusal == PasteRefusal::EntryLimit ? messages::kEntryLimit : messages::kPasteRefused);
      return;
    }
    const auto& keys = std::get<std::vector<PasteKey>>(reading);
    bool differs_from_typing = false;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (const auto* number = std::get_if<PastedNumber>(&keys[i]))
        differs_from_typing |= number->negative || (i == 0 && was_typing);
    }
    if (!differs_from_typing) {
      // The same keys typed into a twin.
      HeadlessWindow twin_window;
      Calculator twin(twin_window);
      test::Load(twin, twin_start);
      for (const PasteKey& key : keys) {
        if (const auto* number = std::get_if<PastedNumber>(&key)) {
          for (const char digit : number->plain) Type(twin, digit);
        } else {
          Type(twin, std::get<char>(key));
        }
        if (twin_window.message || twin_window.message_box) break;
      }
      if (!(FieldsOf(twin) == FieldsOf(calc_))) Fail("the state differs from typing the same keys", calc_);
    } else if (const auto* last = std::get_if<PastedNumber>(&keys.back()); last && !window_.message) {
      // Its digits; its sign, or one a minus typed before it gave it.
      Canonical shown = CanonicalOfEntry(calc_.Readout);
      const Canonical number = CanonicalOfEntry((last->negative ? "-" : "") + last->plain);
      if (!last->negative) shown.negative = false;
      if (!(shown == number)) Fail("the display does not show the last number", calc_);
    }
  }

  // A number from the bytes, written in one of the forms paste reads.
  void PasteNumber(Bytes& bytes) {
    const bool negative = bytes.Next() & 1;
    std::string whole, fraction;
    for (int n = bytes.Next() % 18; n > 0; --n) whole += static_cast<char>('0' + bytes.Next() % 10);
    for (int n = bytes.Next() % 12; n > 0; --n) fraction += static_cast<char>('0' + bytes.Next() % 10);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.empty()) whole = "0";
    // A minus typed before the paste signs an unsigned number, as it would
    // a typed one.
    const bool negated = !negative && calc_.EntryState == entry::kNeg;
    const Canonical number = CanonicalOf(negative || negated, whole, fraction);

    std::string written;
    switch (bytes.Next() % 4) {
      case 0:  // as typed
        written = whole + (fraction.empty() ? "" : "." + fraction);
        break;
      case 1:  // as the calculator copies a result: a blank or a sign, a point always
        written = (whole == "0" && !fraction.empty() ? "" : whole) + "." + fraction;
        break;
      case 2: {  // grouped in thousands in the user's locale
        // With a decimal comma, a single "." with no comma is the decimal
        // point: such a number is written without grouping.
        const bool single_point = decimal_comma_ && fraction.empty() && whole.size() > 3 && whole.size() <= 6;
        written = Grouped(whole, single_point ? '\0' : decimal_comma_ ? '.' : ',') +
                  (fraction.empty() ? "" : (decimal_comma_ ? "," : ".") + fraction);
        break;
      }
      default:  // with an exponent, from the first significant digit
        if (number.digits.empty()) {
          written = "0E+00.";
        } else {
          written = number.digits.substr(0, 1) + (number.digits.size() > 1 ? "." + number.digits.substr(1) : "") +
                    (number.exponent < 0 ? "E-" : "E+") + (std::labs(number.exponent) < 10 ? "0" : "") +
                    std::to_string(std::labs(number.exponent)) + ".";
        }
        break;
    }
    written = (negative ? "-" : " ") + written;

    const test::Fields before = FieldsOf(calc_);
    text = written;
    calc_.Paste(written, decimal_comma_);
    // What typing it shows: the plain digits, a point, a sign.
    const std::size_t shown_length = whole.size() + 1 + fraction.size() + (negative || negated ? 1 : 0);
    if (shown_length > 16) {
      ExpectRefused(before, messages::kEntryLimit);
    } else if (window_.message) {
      Fail("a number that fits the entry is refused", calc_);
    } else if (!(CanonicalOfEntry(calc_.Readout) == number)) {
      Fail("the display shows another number", calc_);
    }
  }

 private:
  static void Type(Calculator& c, char character) {
    std::int16_t code = static_cast<unsigned char>(character);
    c.Form_KeyPress(code);
  }

  static std::string Grouped(const std::string& whole, char separator) {
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
      if (separator && i > 0 && (whole.size() - i) % 3 == 0) grouped += separator;
      grouped += whole[i];
    }
    return grouped;
  }

  void ExpectRefused(const test::Fields& before, const char* message) {
    test::Fields expected = before;
    expected.timer_armed = kFalse;
    if (!(FieldsOf(calc_) == expected)) Fail("a refused paste changed the calculator", calc_);
    if (window_.message != message) Fail("a refused paste does not say why", calc_);
  }

  bool decimal_comma_;
  HeadlessWindow window_;
  Calculator calc_{window_};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes bytes(data, size);
  const std::uint8_t mode = bytes.Next();
  Session session(bytes, mode & 1);
  if (mode & 2) {
    session.PasteNumber(bytes);
  } else {
    session.PasteAnything(bytes.Rest());
  }
  return 0;
}
