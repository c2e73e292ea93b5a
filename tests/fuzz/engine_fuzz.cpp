// Coverage-guided fuzzing of the calculator engine. The input bytes become
// key presses over every route a user has (skin labels, lit or not, hidden
// push buttons, typed characters with any 16-bit code, key-down codes, copy,
// C, CE, the memory keys, the keys the window adds and pastes), and after
// every single key the invariants below are checked. A broken invariant
// prints the keys so far and aborts. paste_fuzz.cpp looks at pastes closer.
//
// Invariants:
//  - between keys OperandCount is 0 or 1;
//  - while a number is typed ("NUMS", "DIGI") the display holds at most 16
//    characters and exactly one ".";
//  - the display is a number in one of the forms the calculator writes;
//  - no display, memory text, memory hint or clipboard text reads "inf" or
//    "nan", and every double the state holds is finite;
//  - every value on show reads back as itself: a result text read by the
//    leading-number reading and written again is the same text;
//  - RestoreStatus twice gives the same state as once;
//  - a refused key leaves the state as it was, with the snapshot the route
//    prescribes, and a CE right after it goes back to that snapshot;
//  - keys that must not change the state (discarded characters, key codes
//    other than Delete, copy, F1, Escape on a message) change nothing, not
//    even the snapshot, unless the route takes one by definition (every
//    typed character does); Backspace goes back to the snapshot;
//  - a paste that is refused as a whole changes nothing.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Calculator.h"
#include "Conversions.h"
#include "EngineState.h"
#include "HeadlessWindow.h"
#include "Messages.h"

namespace {

using namespace quintora;
using test::Fields;
using test::FieldsOf;
using test::Load;
using test::StateOf;

// The forms a display takes: empty (CE before the first snapshot), or a
// number with an optional leading blank (memory recall) or minus, digits with
// at most one point, an optional exponent and a point after it ("1E+15.").
// A display that CE brought back signed can be signed once more, since the
// minus key looks at the entry state only: "--12." reads as 0.
bool WellFormedDisplay(std::string_view text) {
  std::size_t i = 0;
  const auto at = [&](char ch) { return i < text.size() && text[i] == ch; };
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
  };
  if (text.empty()) return true;
  if (at(' ')) {
    ++i;
  } else {
    for (int sign = 0; sign < 2 && at('-'); ++sign) ++i;
  }
  std::size_t mantissa = digits();
  if (at('.')) {
    ++i;
    mantissa += 1 + digits();
  }
  if (mantissa == 0) return false;
  if (at('E')) {
    ++i;
    if (!at('+') && !at('-')) return false;
    ++i;
    const std::size_t exponent = digits();
    if (exponent < 2 || exponent > 3) return false;
    if (at('.')) ++i;
  }
  return i == text.size();
}

bool ContainsInfOrNan(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return lower.find("inf") != std::string::npos || lower.find("nan") != std::string::npos;
}

// How a key reached the engine; decides which snapshot a refusal leaves.
enum class Route { Skin, Button, Keyboard, Other };
enum class Kind { Digit, Point, Operator, Memory, Clear, ClearEntry, Copy, Character, KeyDown, Window, TakeBack, Paste };

struct Key {
  Kind kind;
  Route route;
  std::string token;      // for the report
  std::int16_t code = 0;  // typed character or key code
};

constexpr std::string_view kTypedChars =
    "0123456789.+-*/=\r"
    "xX,a \b\x1b\tE";
constexpr std::string_view kSkinOperators[] = {"+", "-", "X", "/", "="};
constexpr std::string_view kButtonOperators[] = {"+", "-", "*", "/", "="};
constexpr std::string_view kMemoryKeys[] = {"M+", "M-", "MR", "MC"};

bool IsTableCharacter(std::int16_t code) {
  return (code >= '0' && code <= '9') || code == '.' || code == '+' || code == '-' || code == '*' ||
         code == '/' || code == '=' || code == '\r';
}

class Run {
 public:
  Run() {
    calc_.TimerArmed = kTrue;  // as the window starts
    calc_.ResetStatus();
  }

  void Execute(const std::uint8_t* data, std::size_t size) {
    data_ = data;
    size_ = size;
    while (pos_ < size_) Action(Next());
  }

 private:
  std::uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }

  void Action(std::uint8_t byte) {
    const int op = byte % 34;
    if (op <= 9) {
      SkinDigit(static_cast<std::int16_t>(op), true);
    } else if (op == 10) {
      Press({Kind::Point, Route::Skin, "."}, [&] { calc_.LbDecimal_Click(); });
    } else if (op <= 15) {
      SkinOperator(static_cast<std::int16_t>(op - 11), true);
    } else if (op <= 19) {
      const auto index = static_cast<std::int16_t>(op - 16);
      Press({Kind::Memory, Route::Skin, std::string(kMemoryKeys[index])},
            [&] { calc_.TeclaMemoria_Click(index); });
    } else if (op == 20) {
      Press({Kind::Clear, Route::Skin, "C"}, [&] { calc_.LbCancel_Click(); });
    } else if (op == 21) {
      Press({Kind::ClearEntry, Route::Skin, "CE"}, [&] { calc_.LbCancelaEntrada_Click(); });
    } else if (op == 22) {
      Press({Kind::Copy, Route::Other, "copy"}, [&] { calc_.CopyButton_Click(); });
    } else if (op == 23) {
      Button(Next() % 16);
    } else if (op == 24) {
      Type(static_cast<unsigned char>(kTypedChars[Next() % kTypedChars.size()]));
    } else if (op == 25) {
      const auto high = Next();
      Type(static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | Next())));
    } else if (op == 26) {
      const auto high = Next();
      const auto low = Next();
      // Half of the codes are Delete, so that it comes often enough.
      const auto code = (low & 1)
                            ? static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low))
                            : std::int16_t{46};
      KeyDown(code, static_cast<std::int16_t>(Next() % 8));
    } else if (op == 27) {
      const int which = Next() % 15;  // a click on a label the pointer never lit
      if (which < 10) {
        SkinDigit(static_cast<std::int16_t>(which), false);
      } else {
        SkinOperator(static_cast<std::int16_t>(which - 10), false);
      }
    } else if (op == 28) {
      window_.clipboard_refuses = !window_.clipboard_refuses;
      trace_.push_back(window_.clipboard_refuses ? "[clipboard refuses]" : "[clipboard accepts]");
    } else if (op <= 31) {
      // Whole numbers at once, to reach the edges of the double range soon.
      static constexpr std::string_view kNumbers[] = {"999999999999999", "100000000000000",
                                                      ".0000000000001"};
      TypeNumber(kNumbers[op - 29], Next() % 3);
    } else if (op == 32) {
      Added(static_cast<AddedKey>(Next() % 10));
    } else {
      Paste();
    }
  }

  void Added(AddedKey added) {
    const int index = static_cast<int>(added);
    static constexpr std::string_view kNames[] = {"Backspace", "Escape", "F1",  "Ctrl+P",       "Ctrl+Q",
                                                  "Ctrl+R",    "Ctrl+L", "KP.", "Comma", "DecimalComma"};
    const std::string name(kNames[index]);
    const auto press = [&] { calc_.AddedKey_Press(added); };
    switch (added) {
      case AddedKey::Backspace: Press({Kind::TakeBack, Route::Keyboard, name}, press); break;
      case AddedKey::Escape:
        if (window_.MessageShown()) {
          Press({Kind::Window, Route::Keyboard, name}, press);
        } else {
          Press({Kind::Character, Route::Keyboard, name, 27}, press);
        }
        break;
      case AddedKey::F1: Press({Kind::Window, Route::Keyboard, name}, press); break;
      case AddedKey::Comma: Press({Kind::Character, Route::Keyboard, name, ','}, press); break;
      case AddedKey::KeypadDecimal:
      case AddedKey::DecimalComma: Press({Kind::Character, Route::Keyboard, name, '.'}, press); break;
      default: Press({Kind::Memory, Route::Keyboard, name}, press); break;
    }
  }

  // A short text of the characters paste reads, in either locale.
  void Paste() {
    static constexpr std::string_view kAlphabet = "0123456789.,-+*/=xE \n";
    const bool decimal_comma = Next() & 1;
    std::string text;
    for (int length = Next() % 12; length > 0; --length) text += kAlphabet[Next() % kAlphabet.size()];
    Press({Kind::Paste, Route::Other, "paste:" + text + (decimal_comma ? " (decimal comma)" : "")},
          [&] { calc_.Paste(text, decimal_comma); });
  }

  void SkinDigit(std::int16_t digit, bool lit) {
    const ControlRef label{ControlName::TeclaNumero, digit};
    window_.SetCaption(label, lit ? std::to_string(digit) : "");
    Press({Kind::Digit, Route::Skin, lit ? std::to_string(digit) : "unlit" + std::to_string(digit)},
          [&] { calc_.TeclaNumero_Click(digit); });
  }

  void SkinOperator(std::int16_t index, bool lit) {
    const ControlRef label{ControlName::TeclaOpera, index};
    window_.SetCaption(label, lit ? std::string(kSkinOperators[index]) : "");
    Press({Kind::Operator, Route::Skin,
           lit ? std::string(kSkinOperators[index]) : "unlit" + std::string(kSkinOperators[index])},
          [&] { calc_.TeclaOpera_Click(index); });
  }

  void Button(int which) {
    if (which < 10) {
      const auto digit = static_cast<std::int16_t>(which);
      Press({Kind::Digit, Route::Button, "b" + std::to_string(digit)},
            [&] { calc_.NumKey_Click(digit); });
    } else if (which == 10) {
      Press({Kind::Point, Route::Button, "b."}, [&] { calc_.Decimal_Click(); });
    } else {
      const auto index = static_cast<std::int16_t>(which - 11);
      Press({Kind::Operator, Route::Button, "b" + std::string(kButtonOperators[index])},
            [&] { calc_.Operator_Click(index); });
    }
  }

  void Type(std::int16_t code) {
    const std::int16_t typed = code;
    std::int16_t key = code;
    Press({Kind::Character, Route::Keyboard, "code" + std::to_string(code), code},
          [&] { calc_.Form_KeyPress(key); });
    // A character of the table goes on to the focused control; any other
    // is thrown away.
    Check(key == (IsTableCharacter(typed) ? typed : 0), "character code handed back");
  }

  void KeyDown(std::int16_t code, std::int16_t shift) {
    Press({Kind::KeyDown, Route::Keyboard,
           "keydown" + std::to_string(code) + "/" + std::to_string(shift), code},
          [&] { calc_.Form_KeyDown(code, shift); });
  }

  void TypeNumber(std::string_view number, int route) {
    for (const char ch : number) {
      if (route == 0 && ch == '.') {
        Press({Kind::Point, Route::Skin, "."}, [&] { calc_.LbDecimal_Click(); });
      } else if (route == 0) {
        SkinDigit(static_cast<std::int16_t>(ch - '0'), true);
      } else if (route == 1) {
        Button(ch == '.' ? 10 : ch - '0');
      } else {
        Type(ch);
      }
    }
  }

  // Runs one key and checks everything that must hold after it.
  template <typename Handler>
  void Press(Key key, Handler&& handler) {
    trace_.push_back(key.token);
    window_.log.clear();
    const Fields before = FieldsOf(calc_);
    const std::optional<std::string> clipboard_before = window_.clipboard;

    handler();

    const Fields after = FieldsOf(calc_);
    if (key.kind == Kind::Paste) {
      CheckRefusedPaste(before, after);
    } else if (key.kind != Kind::Window) {  // the about text is no refusal
      CheckRefusal(key, before, after);
    }
    CheckKeysThatChangeNothing(key, before, after, clipboard_before);
    CheckState();
    CheckRestoreIsIdempotent();
  }

  // What the log says about a refusal: the message shown, if any.
  std::optional<std::string> Refusal() const {
    for (const std::string& line : window_.log) {
      if (line == "message box") return std::string(messages::kPointOverflow);
      if (line.starts_with("message ")) return line.substr(8);
    }
    return std::nullopt;
  }

  void CheckRefusal(const Key& key, const Fields& before, const Fields& after) {
    const std::optional<std::string> refusal = Refusal();
    if (!refusal) return;
    const std::string& why = *refusal;
    const bool entry_key =
        key.kind == Kind::Digit || key.kind == Kind::Point || key.kind == Kind::Character;
    const bool arithmetic_key =
        key.kind == Kind::Operator || key.kind == Kind::Memory || key.kind == Kind::Character;
    if (why == messages::kEntryLimit || why == messages::kPointOverflow) {
      Check(entry_key, "entry message from a key that types no number");
    } else if (why == messages::kDivisionByZero) {
      Check(arithmetic_key && before.state.SavedPendingOperator == "/",
            "division message without a pending division");
    } else {
      Check(why == messages::kOverflow && arithmetic_key, "unexpected message");
    }

    Check(after.state == before.state, "a refused key changed the state");
    Check(after.memo_visible == before.memo_visible, "a refused key changed the indicator");
    if (why != messages::kPointOverflow) {
      Check(after.timer_armed == kFalse && !window_.timer_enabled,
            "the message panel left the timer armed");
    }
    // A digit or point refused at the length test takes no snapshot of its
    // own, except that the keyboard took one before it; every other refusal
    // comes after the key's own snapshot.
    const bool length_test = why == messages::kEntryLimit;
    const StatusRecord expected =
        length_test && key.route != Route::Keyboard ? before.snapshot : before.state;
    Check(after.snapshot == expected, "wrong snapshot after a refused key");

    // CE goes back to that snapshot.
    const auto focus = window_.focus;
    calc_.LbCancelaEntrada_Click();
    StatusRecord undone = expected;
    undone.SavedEntryState = entry::kCe;
    Check(StateOf(calc_) == undone, "CE after a refused key");
    Check(calc_.StatusSnapshot == expected, "CE changed the snapshot");
    Load(calc_, after);
    window_.focus = focus;
  }

  // A paste refused as a whole changes nothing but the timer's arming. A
  // paste whose keys go in may end with a refused key: the keys before it
  // stay, so there is nothing to compare with here.
  void CheckRefusedPaste(const Fields& before, const Fields& after) {
    const std::optional<std::string> refusal = Refusal();
    if (refusal != messages::kPasteRefused) return;
    Fields expected = before;
    expected.timer_armed = kFalse;
    Check(after == expected, "a refused paste changed the calculator");
  }

  void CheckKeysThatChangeNothing(const Key& key, const Fields& before, const Fields& after,
                                  const std::optional<std::string>& clipboard_before) {
    if (key.kind == Kind::Window) {
      Check(after.state == before.state && after.snapshot == before.snapshot, "F1 or Escape changed the calculator");
      return;
    }
    if (key.kind == Kind::TakeBack) {
      Check(after.state == before.snapshot && after.snapshot == before.snapshot, "Backspace is not the snapshot");
      return;
    }
    if (key.kind == Kind::Copy) {
      Check(after == before, "copy changed the calculator");
      Check(window_.clipboard ==
                (window_.clipboard_refuses ? clipboard_before : std::optional(calc_.Readout)),
            "clipboard text");
      return;
    }
    constexpr std::int16_t kDelete = 46;
    if (key.kind == Kind::KeyDown && key.code != kDelete) {
      Check(after == before, "a key code other than Delete changed the calculator");
    }
    if (key.kind == Kind::Clear || (key.kind == Kind::KeyDown && key.code == kDelete)) {
      // The start state, memory included; no snapshot, indicator and timer
      // arming as they were.
      Fields expected = before;
      expected.state = {"0.", std::int16_t{0}, std::int16_t{0}, kFalse, 0, entry::kNone, " ",
                        " ",  std::int16_t{0}};
      Check(after == expected, "C or Delete is not a plain reset");
    }
    if (key.kind == Kind::Character && !IsTableCharacter(key.code)) {
      // A discarded character: the keyboard snapshot and nothing else.
      Fields expected = before;
      expected.snapshot = before.state;
      Check(after == expected, "a discarded character changed the calculator");
    }
  }

  void CheckState() {
    const Calculator& c = calc_;
    Check(c.OperandCount == 0 || c.OperandCount == 1, "operand count between keys");

    if (c.EntryState == entry::kNums || c.EntryState == entry::kDigi) {
      Check(c.Readout.size() <= 16, "number being typed is longer than 16 characters");
      Check(std::count(c.Readout.begin(), c.Readout.end(), '.') == 1,
            "number being typed without exactly one point");
    }

    Check(WellFormedDisplay(c.Readout), "a display that is no number");
    Check(c.Readout.size() <= 24, "display too long for any form it can take");

    for (const ValueSlot* slot : {&c.FirstOperand, &c.SecondOperand, &c.MemoryValue}) {
      Check(std::isfinite(OperandValue(*slot)), "a value that is not a finite double");
    }
    const double memory = OperandValue(c.MemoryValue);
    const std::string shown[] = {c.Readout,
                                 c.lblMemoFlag,
                                 SlotText(c.MemoryValue),
                                 MemoryText(memory),
                                 "Valor almacenado = " + SlotText(c.MemoryValue),
                                 window_.clipboard.value_or("")};
    for (const std::string& text : shown) Check(!ContainsInfOrNan(text), "inf or nan on show");

    // Every value on show reads back as the same text.
    ReadsBack(LeadingNumber(c.Readout), "display");
    ReadsBack(memory, "memory");
    if (const auto* first = std::get_if<double>(&c.FirstOperand)) ReadsBack(*first, "result");
  }

  void ReadsBack(double value, const char* what) {
    if (!std::isfinite(value)) {
      std::fprintf(stderr, "%s reads as %g\n", what, value);
      Fail("a value on show reads beyond the double range");
    }
    const std::string text = ResultText(value);
    const double again = LeadingNumber(text);
    if (!std::isfinite(again) || ResultText(again) != text) {
      std::fprintf(stderr, "%s %.17g shows as %s, which reads back as %.17g\n", what, value,
                   text.c_str(), again);
      Fail("a result text does not read back as itself");
    }
  }

  void CheckRestoreIsIdempotent() {
    const Fields saved = FieldsOf(calc_);
    calc_.RestoreStatus();
    const Fields once = FieldsOf(calc_);
    calc_.RestoreStatus();
    Check(FieldsOf(calc_) == once, "RestoreStatus twice differs from once");
    Check(once.snapshot == saved.snapshot, "RestoreStatus changed the snapshot");
    Load(calc_, saved);
  }

  void Check(bool holds, const char* what) {
    if (!holds) Fail(what);
  }

  [[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "engine invariant broken: %s\nkeys:", what);
    for (const std::string& token : trace_) std::fprintf(stderr, " %s", token.c_str());
    std::fprintf(stderr, "\nreadout '%s', entry state '%s', pending '%s', operands %d\n",
                 calc_.Readout.c_str(), calc_.EntryState.c_str(), calc_.PendingOperator.c_str(),
                 calc_.OperandCount);
    std::abort();
  }

  HeadlessWindow window_;
  Calculator calc_{window_};
  std::vector<std::string> trace_;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Run run;
  run.Execute(data, size);
  return 0;
}
