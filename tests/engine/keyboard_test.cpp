#include <gtest/gtest.h>

#include "Routes.h"

namespace quintora {
namespace {

using testing::PressKeys;

TEST(Keyboard, DiscardedCharactersOnlyTakeASnapshot) {
  for (const char* key : {"kx", "kX", "k,", "ka", "kBackspace", "kEscape", "kSpace", "kTab"}) {
    KeySession session;
    PressKeys(session, "1 2 +");
    const Calculator& calc = session.calculator();
    const std::string readout = calc.Readout;
    PressKeys(session, key);
    EXPECT_EQ(calc.Readout, readout) << key;
    EXPECT_EQ(calc.PendingOperator, "+") << key;
    EXPECT_EQ(calc.StatusSnapshot.SavedEntryState, "OPS") << key << ": a fresh snapshot";
    PressKeys(session, "CE");
    EXPECT_EQ(calc.Readout, readout) << key << ": CE only changes the entry state";
  }
}

TEST(Keyboard, CharacterCodeIsClearedOnlyWhenDiscarded) {
  KeySession session;
  Calculator& calc = session.calculator();
  for (std::int16_t code : {48, 57, 46, 43, 45, 42, 47, 61, 13}) {
    std::int16_t key = code;
    calc.Form_KeyPress(key);
    EXPECT_EQ(key, code);
  }
  for (std::int16_t code : {0, 47 - 48, 120, 44, 127, -32768, 32767, 48 + 256}) {
    std::int16_t key = code;
    calc.Form_KeyPress(key);
    EXPECT_EQ(key, 0) << code;
  }
}

TEST(Keyboard, EnterAndEqualsAreTheSame) {
  KeySession enter, equals;
  PressKeys(enter, "k7 k* k6 kEnter");
  PressKeys(equals, "k7 k* k6 k=");
  EXPECT_EQ(enter.calculator().Readout, "42.");
  EXPECT_EQ(enter.Json(), equals.Json());
}

TEST(Keyboard, DeleteResetsLikeCAndTakesNoSnapshot) {
  KeySession session;
  PressKeys(session, "5 M+ + 3 kDel");
  const Calculator& calc = session.calculator();
  EXPECT_EQ(calc.Readout, "0.");
  EXPECT_EQ(calc.EntryState, "NONE");
  EXPECT_EQ(calc.lblMemoFlag, " ");
  EXPECT_EQ(session.window().focus, (ControlRef{ControlName::Operator, 4}));
  PressKeys(session, "CE");
  EXPECT_EQ(calc.Readout, "5.") << "CE brings back the state before the 3";
  EXPECT_EQ(calc.PendingOperator, "+");
}

TEST(Keyboard, OnlyKeyCode46Resets) {
  KeySession session;
  PressKeys(session, "4 2");
  for (std::int16_t code = -32768; code < 32767; ++code) {
    if (code != 46) session.calculator().Form_KeyDown(code, 0);
  }
  EXPECT_EQ(session.calculator().Readout, "42.");
  session.calculator().Form_KeyDown(46, 7);  // Shift and Ctrl do not matter
  EXPECT_EQ(session.calculator().Readout, "0.");
}

TEST(Clipboard, CopiesTheDisplayExactlyAndChangesNothing) {
  KeySession session;
  PressKeys(session, "copy");
  EXPECT_EQ(session.window().clipboard, "0.");
  PressKeys(session, "3 - 5 = copy copy");
  EXPECT_EQ(session.window().clipboard, "-2.");
  EXPECT_EQ(session.window().log.back(), "clipboard") << "no focus move";
  PressKeys(session, "CE");
  EXPECT_EQ(session.calculator().Readout, "5.") << "copy took no snapshot: back to before =";
}

TEST(Clipboard, RefusedClipboardLeavesTheStateAlone) {
  KeySession session;
  session.window().clipboard_refuses = true;
  PressKeys(session, "1 2 3");
  const std::string before = session.Json();
  PressKeys(session, "copy");
  EXPECT_EQ(session.Json(), before);
}

}  // namespace
}  // namespace quintora
