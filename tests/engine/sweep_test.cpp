// Every character code and every key code, in every entry state: only the
// keys of the keyboard tables act, each exactly like its hidden button; every
// other code leaves the calculator and the window alone (a typed character
// still takes its snapshot), and nothing crashes.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Conversions.h"
#include "Routes.h"

namespace quintora {

namespace {

using testing::PressKeys;
using test::Fields;
using test::FieldsOf;

// The states a key can find the calculator in.
struct Start {
  const char* name;
  std::string keys;
  const char* entry_state;
};

const std::string kFifteenDigits = "9 8 7 6 5 4 3 2 1 0 9 8 7 6 5";

const Start kStarts[] = {
    {"start", "", "NONE"},
    {"typing", "1 2", "NUMS"},
    {"typing at the limit", kFifteenDigits, "NUMS"},
    {"after the point", "1 2 .", "DIGI"},
    {"minus after an operand", "5 + -", "NEG"},
    {"minus signing the display", "1 2 CE -", "NEG"},
    {"after an operator", "5 + 3 =", "OPS"},
    {"after a memory key", "5 M+", "OPS"},
    {"after CE", "5 + 3 CE", "CE"},
    {"after CE before any snapshot", "CE", "CE"},
    {"after a refused division", "5 / 0 =", "NUMS"},
};

// A session holds a calculator bound to its window, so it is set up in
// place rather than returned.
void Begin(KeySession& session, const Start& start) {
  PressKeys(session, start.keys);
  EXPECT_EQ(session.calculator().EntryState, start.entry_state) << start.name;
}

bool IsTableCharacter(int code) {
  return (code >= '0' && code <= '9') || code == '.' || code == '+' || code == '-' || code == '*' ||
         code == '/' || code == '=' || code == '\r';
}

// The hidden button a table character stands for, pressed directly.
void PressButtonFor(Calculator& calc, int code) {
  switch (code) {
    case '.': calc.Decimal_Click(); break;
    case '+': calc.Operator_Click(0); break;
    case '-': calc.Operator_Click(1); break;
    case '*': calc.Operator_Click(2); break;
    case '/': calc.Operator_Click(3); break;
    case '=':
    case '\r': calc.Operator_Click(4); break;
    default: calc.NumKey_Click(static_cast<std::int16_t>(code - '0')); break;
  }
}

void ExpectSameWindow(const HeadlessWindow& actual, const HeadlessWindow& expected,
                      const std::string& context) {
  EXPECT_EQ(actual.log, expected.log) << context;
  EXPECT_EQ(actual.message, expected.message) << context;
  EXPECT_EQ(actual.message_box, expected.message_box) << context;
  EXPECT_EQ(actual.timer_enabled, expected.timer_enabled) << context;
}

// Collects the codes that misbehave, so that a fault shows as one failure
// with examples rather than thousands.
class Misfits {
 public:
  void Add(int code) {
    if (codes_.size() < 8) codes_.push_back(code);
    ++count_;
  }
  void Expect(const std::string& what) const {
    std::string examples;
    for (const int code : codes_) examples += " " + std::to_string(code);
    EXPECT_EQ(count_, 0) << what << "; for example the codes" << examples;
  }

 private:
  std::vector<int> codes_;
  int count_ = 0;
};

TEST(Sweep, TableCharactersActExactlyLikeTheirHiddenButtons) {
  for (const Start& start : kStarts) {
    for (const char ch : std::string("0123456789.+-*/=\r")) {
      const std::string context = std::string(start.name) + ", code " + std::to_string(ch);
      KeySession typed;
      Begin(typed, start);
      std::int16_t code = ch;
      typed.calculator().Form_KeyPress(code);
      EXPECT_EQ(code, ch) << context << ": the character goes on";

      // The keyboard's own snapshot comes first, then the button's handler.
      KeySession clicked;
      Begin(clicked, start);
      clicked.calculator().MarkStatus();
      PressButtonFor(clicked.calculator(), ch);
      EXPECT_EQ(FieldsOf(typed.calculator()), FieldsOf(clicked.calculator())) << context;
      ExpectSameWindow(typed.window(), clicked.window(), context);
    }
  }
}

TEST(Sweep, EveryOtherCharacterCodeOnlyTakesTheSnapshot) {
  for (const Start& start : kStarts) {
    KeySession session;
    Begin(session, start);
    Calculator& calc = session.calculator();
    const Fields initial = FieldsOf(calc);
    const HeadlessWindow window_before = session.window();
    Fields expected = initial;
    expected.snapshot = initial.state;

    Misfits changed, kept;
    for (int code = -32768; code <= 32767; ++code) {
      if (IsTableCharacter(code)) continue;
      std::int16_t key = static_cast<std::int16_t>(code);
      calc.Form_KeyPress(key);
      if (key != 0) kept.Add(code);
      if (!(FieldsOf(calc) == expected) ||
          session.window().log.size() != window_before.log.size()) {
        changed.Add(code);
        calc.RestoreStatus();  // back to the state of the start, to go on
        session.window().log.resize(window_before.log.size());
      }
      calc.StatusSnapshot = initial.snapshot;
    }
    changed.Expect(std::string(start.name) + ": a discarded character changed something");
    kept.Expect(std::string(start.name) + ": a discarded character was not set to 0");
    ExpectSameWindow(session.window(), window_before, start.name);
  }
}

TEST(Sweep, OnlyTheDeleteKeyCodeActsAndItActsLikeC) {
  constexpr int kDelete = 46;
  for (const Start& start : kStarts) {
    KeySession session;
    Begin(session, start);
    Calculator& calc = session.calculator();
    const Fields initial = FieldsOf(calc);
    const HeadlessWindow window_before = session.window();

    Misfits changed;
    for (int code = -32768; code <= 32767; ++code) {
      if (code == kDelete) continue;
      // The shift state is ignored; every combination of Shift, Ctrl and Alt
      // comes up along the sweep.
      calc.Form_KeyDown(static_cast<std::int16_t>(code), static_cast<std::int16_t>(code & 7));
      if (!(FieldsOf(calc) == initial) || session.window().log.size() != window_before.log.size()) {
        changed.Add(code);
      }
    }
    changed.Expect(std::string(start.name) + ": a key code other than Delete changed something");
    ExpectSameWindow(session.window(), window_before, start.name);

    for (std::int16_t shift = 0; shift < 8; ++shift) {
      const std::string context = std::string(start.name) + ", shift " + std::to_string(shift);
      KeySession deleted;
      Begin(deleted, start);
      deleted.calculator().Form_KeyDown(kDelete, shift);
      KeySession cleared;
      Begin(cleared, start);
      cleared.calculator().LbCancel_Click();
      EXPECT_EQ(FieldsOf(deleted.calculator()), FieldsOf(cleared.calculator())) << context;
      ExpectSameWindow(deleted.window(), cleared.window(), context);
    }
  }
}

TEST(Sweep, CopyChangesNothingWhetherOrNotTheClipboardTakesIt) {
  for (const Start& start : kStarts) {
    for (const bool refuses : {false, true}) {
      const std::string context = std::string(start.name) + (refuses ? ", refused" : ", taken");
      KeySession session;
      Begin(session, start);
      session.window().clipboard = "earlier";
      session.window().clipboard_refuses = refuses;
      const Fields before = FieldsOf(session.calculator());
      const auto focus = session.window().focus;
      PressKeys(session, "copy");
      EXPECT_EQ(FieldsOf(session.calculator()), before) << context;
      EXPECT_EQ(session.window().focus, focus) << context;
      EXPECT_EQ(session.window().log.back(), "clipboard") << context;
      EXPECT_EQ(session.window().clipboard, refuses ? "earlier" : session.calculator().Readout)
          << context;
    }
  }
}

}  // namespace
}  // namespace quintora
