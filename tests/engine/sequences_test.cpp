#include <gtest/gtest.h>

#include "Conversions.h"
#include "Routes.h"

namespace quintora {
namespace {

using testing::OnRoute;
using testing::Route;
using testing::PressKeys;

struct Case {
  const char* keys;
  const char* readout;
  const char* memory = nullptr;  // memory value as results are written
  const char* memo_flag = nullptr;
  bool memo_visible = false;
};

class Sequences : public ::testing::TestWithParam<Route> {
 protected:
  void Check(const Case& c) {
    KeySession session;
    const std::string keys = OnRoute(c.keys, GetParam());
    PressKeys(session, keys);
    const Calculator& calc = session.calculator();
    EXPECT_EQ(calc.Readout, c.readout) << keys;
    if (c.memory) {
      EXPECT_EQ(SlotText(calc.MemoryValue), c.memory) << keys;
      EXPECT_EQ(calc.lblMemoFlag, c.memo_flag) << keys;
      EXPECT_EQ(calc.lblMemoFlagVisible, c.memo_visible) << keys;
    }
  }
};

TEST_P(Sequences, ChainedLeftToRightEvaluation) {
  const Case cases[] = {
      {"5 + 3 =", "8."},
      {"3 - 5 =", "-2."},
      {"5 - 5 =", "0."},
      {"7 - 2 X 3 =", "15."},
      {"1 / 4 =", "0.25"},
      {"1 / 3 =", "0.333333333333333"},
      {"1 / 3 X 3 =", "1."},
      {"1 / 3 = X 3 =", "0.999999999999999"},
      {"1 0 0 0 0 0 0 0 X 1 0 0 0 0 0 0 0 0 =", "1E+15."},
      {"1 / 1 0 0 0 0 0 =", "1E-05."},
      {"1 / 1 0 0 0 0 0 0 0 0 0 =", "1E-09."},
      {"5 + X 2 =", "10."},
      {"5 + - 2 =", "3."},
      {"5 + -", "0."},
      {"0 X - 2 =", "-2."},
      {"5 + - X 3 =", "-3."},
      {"5 + 3 = - 2 =", "6."},
      {"5 + 3 = 2 + 1 =", "3."},
      {"5 + 3 = =", "8."},
      {"- 5 =", "5."},
      {"5 / 0 =", "0."},
      {"1 2 CE + 3 =", "3."},
      {"5 + 3 CE 4 =", "9."},
      {"5 . + 3 =", "8."},
      {"CE +", "0."},
  };
  for (const Case& c : cases) Check(c);
}

TEST_P(Sequences, MemoryKeys) {
  const Case cases[] = {
      {"5 M+", "5.", "5", "M", true},
      {"5 M+ 3 M-", "3.", "2", "M", true},
      {"5 M+ 5 M-", "5.", "0", " ", false},
      {"5 M+ C", "0.", "0", " ", true},
      {"5 M+ MR + 1 =", "6.", "5", "M", true},
      {"1 / 4 = M+ MR", " .25", "0.25", "M", true},
      {"3 - 5 = M+ MR", "-2.", "-2", "M", true},
      {"MR", " 0.", "0", " ", false},
      {"5 + 3 M+ =", "3.", "3", "M", true},
      {"5 + 3 M+ 2 =", "5.", "3", "M", true},
      {"5 M+ MC CE", "5.", "5", "M", false},
      {"5 + 3 C CE", "5."},
  };
  for (const Case& c : cases) Check(c);
}

// After "=" the result is the one operand there is: the next operator
// starts from it, and nothing pairs it with an older number.
TEST_P(Sequences, EqualsLeavesOneOperand) {
  for (const char* keys : {"5 + 3 =", "5 + 3 = =", "5 X 2 - 1 =", "7 ="}) {
    KeySession session;
    PressKeys(session, OnRoute(keys, GetParam()));
    EXPECT_EQ(session.calculator().OperandCount, 1) << keys;
  }
}

TEST_P(Sequences, NumberEntry) {
  const Case cases[] = {
      {"5", "5."},         {"5 3", "53."},       {"0 5", "05."},        {".", "0."},
      {". 5", "0.5"},      {"5 . 3", "5.3"},     {"5 . . 3", "5.3"},    {"5 + - 5 3", "-53."},
      {"5 + - . 5", "0.5"}, {"1 2 CE - . 5", "-0.5"}, {"5 + 9 9 9", "999."},
  };
  for (const Case& c : cases) Check(c);
}

INSTANTIATE_TEST_SUITE_P(AllRoutes, Sequences,
                         ::testing::Values(Route::Skin, Route::Buttons, Route::Keyboard),
                         testing::RouteName);

TEST(Operators, DivisionByZeroIsRefusedWithTheStateBeforeTheKey) {
  KeySession session;
  PressKeys(session, "5 / 0");
  const Calculator before = session.calculator();
  PressKeys(session, "=");
  const Calculator& after = session.calculator();
  EXPECT_EQ(session.window().message, "Error, División entre cero");
  EXPECT_EQ(session.window().message_font_points, 12);
  EXPECT_FALSE(session.window().timer_enabled);
  EXPECT_EQ(after.TimerArmed, kFalse);
  EXPECT_EQ(after.Readout, before.Readout);
  EXPECT_EQ(after.PendingOperator, "/");
  EXPECT_EQ(after.EntryState, before.EntryState);
  EXPECT_EQ(session.window().focus, (ControlRef{ControlName::Operator, 4}))
      << "the focus stays on the pressed operator";
  session.window().message.reset();
  PressKeys(session, "=");
  EXPECT_EQ(session.window().message, "Error, División entre cero") << "the same key refuses again";
}

TEST(Operators, MultiplySymbolsMixAcrossRoutes) {
  KeySession session;
  PressKeys(session, "3 b* 4 =");
  EXPECT_EQ(session.calculator().Readout, "12.");
  KeySession other;
  PressKeys(other, "3 X 4 k=");
  EXPECT_EQ(other.calculator().Readout, "12.");
}

TEST(Operators, SkinOperatorWithoutCaptionEndsEntryButComputesNothing) {
  KeySession session;
  PressKeys(session, "7");
  session.calculator().TeclaOpera_Click(0);  // the pointer never lit the label
  EXPECT_EQ(session.calculator().PendingOperator, "");
  EXPECT_EQ(session.calculator().EntryState, "OPS");
  PressKeys(session, "2 =");
  EXPECT_EQ(session.calculator().Readout, "7.");
}

const std::string kFifteenNines = "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9";
const std::string kTenToFourteen = "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0";

TEST(Overflow, ProductBeyondTheDoubleRangeIsRefusedWithTheStateBeforeTheKey) {
  KeySession session;
  PressKeys(session, kFifteenNines + " X " + kFifteenNines + " =");
  for (int i = 0; i < 18; ++i) PressKeys(session, "X " + kFifteenNines + " =");
  EXPECT_EQ(session.calculator().Readout, "9.9999999999998E+299");
  PressKeys(session, "X " + kFifteenNines + " =");
  const Calculator& calc = session.calculator();
  EXPECT_EQ(session.window().message, "Error, Desbordamiento");
  EXPECT_EQ(session.window().message_font_points, 12);
  EXPECT_FALSE(session.window().timer_enabled);
  EXPECT_EQ(calc.TimerArmed, kFalse);
  EXPECT_EQ(calc.Readout, "999999999999999.");
  EXPECT_EQ(calc.EntryState, "NUMS");
  EXPECT_EQ(calc.PendingOperator, "X");
  EXPECT_EQ(SlotText(calc.FirstOperand), "9.9999999999998E+299");
}

TEST(Overflow, HugeOverTinyIsRefused) {
  KeySession session;
  PressKeys(session, kTenToFourteen + " X " + kTenToFourteen + " =");
  for (int i = 0; i < 20; ++i) PressKeys(session, "X " + kTenToFourteen + " =");
  EXPECT_EQ(session.calculator().Readout, "1E+308.");
  PressKeys(session, "/ . 0 0 0 0 0 0 0 0 0 0 0 0 1 =");
  EXPECT_EQ(session.window().message, "Error, Desbordamiento");
  EXPECT_EQ(session.calculator().Readout, "0.0000000000001");
}

TEST(Overflow, MemorySumBeyondTheDoubleRangeKeepsTheMemory) {
  KeySession session;
  PressKeys(session, kTenToFourteen + " X " + kTenToFourteen + " =");
  for (int i = 0; i < 20; ++i) PressKeys(session, "X " + kTenToFourteen + " =");
  PressKeys(session, "M+");
  EXPECT_EQ(SlotText(session.calculator().MemoryValue), "1E+308");
  PressKeys(session, "M+");
  EXPECT_EQ(session.window().message, "Error, Desbordamiento");
  EXPECT_EQ(SlotText(session.calculator().MemoryValue), "1E+308");
  EXPECT_EQ(session.calculator().EntryState, "OPS");
  PressKeys(session, "MC M- M-");
  EXPECT_EQ(SlotText(session.calculator().MemoryValue), "-1E+308") << "M- overflows alike";
}

}  // namespace
}  // namespace quintora
