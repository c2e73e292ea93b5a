// Arithmetic at the edges of the double range and of the display forms:
// overflow refused with the state from before the key, underflow shown as
// 0, negative zero never shown, and the switch between plain and scientific
// notation at 1E+15 and 1E-4, on every route.

#include <cmath>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "Conversions.h"
#include "Routes.h"

namespace quintora {

namespace {

using testing::OnRoute;
using testing::PressKeys;
using testing::Route;
using test::StateOf;

const std::string kLargest = "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9";  // the largest 15-digit number
const std::string kTiny = ". 0 0 0 0 0 0 0 0 0 0 0 0 1";       // 1E-13, as long as typing allows
const std::string kE14 = "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0";      // 1E+14

// A result on the display reads back as the same text, point appended or not.
void ExpectReadsBack(const std::string& display) {
  const double value = LeadingNumber(display);
  ASSERT_TRUE(std::isfinite(value)) << display;
  const std::string text = ResultText(value);
  EXPECT_TRUE(display == text || display == text + ".") << display << " reads as " << text;
}

class EdgeArithmetic : public ::testing::TestWithParam<Route> {
 protected:
  void Press(const std::string& skin_keys) { PressKeys(session_, OnRoute(skin_keys, GetParam())); }
  const Calculator& calc() { return session_.calculator(); }

  KeySession session_;
};

TEST_P(EdgeArithmetic, ChainedProductsOfTheLargestNumbersEndInARefusal) {
  Press(kLargest + " X");
  int products = 0;
  while (!session_.window().message && products < 30) {
    Press(kLargest);
    const StatusRecord before = StateOf(calc());
    Press("X");
    ++products;
    if (session_.window().message) {
      // (10^15 - 1)^21 lies beyond the double range; the twentieth power
      // is the last one shown.
      EXPECT_EQ(products, 20);
      EXPECT_EQ(*session_.window().message, "Error, Desbordamiento");
      EXPECT_EQ(session_.window().message_font_points, 12);
      EXPECT_FALSE(session_.window().timer_enabled);
      EXPECT_EQ(calc().TimerArmed, kFalse);
      EXPECT_EQ(StateOf(calc()), before) << "the state from before the refused key";
      EXPECT_EQ(calc().StatusSnapshot, before);
      EXPECT_EQ(SlotText(calc().FirstOperand), "9.9999999999998E+299");
    } else {
      ExpectReadsBack(calc().Readout);
    }
  }
  EXPECT_EQ(calc().Readout, "999999999999999.");

  // The same key is refused again; CE then goes back to before it, no further.
  const StatusRecord refused = StateOf(calc());
  session_.window().message.reset();
  Press("X");
  EXPECT_EQ(session_.window().message, "Error, Desbordamiento");
  Press("CE");
  StatusRecord after_ce = refused;
  after_ce.SavedEntryState = "CE";
  EXPECT_EQ(StateOf(calc()), after_ce);
}

TEST_P(EdgeArithmetic, TinyTimesTinyUnderflowsToZeroWithoutAMessage) {
  Press(kTiny + " X");
  for (int i = 0; i < 24; ++i) {
    Press(kTiny + " X");
    ExpectReadsBack(calc().Readout);
  }
  Press(kTiny);
  Press("=");
  EXPECT_EQ(calc().Readout, "0.");
  EXPECT_FALSE(session_.window().message);

  KeySession negative;
  PressKeys(negative, OnRoute("0 - " + kTiny, GetParam()));
  for (int i = 0; i < 25; ++i) PressKeys(negative, OnRoute("X " + kTiny, GetParam()));
  PressKeys(negative, OnRoute("= M+ MR", GetParam()));
  EXPECT_EQ(negative.calculator().Readout, " 0.") << "negative zero recalls as zero";
  EXPECT_EQ(negative.calculator().lblMemoFlag, " ");
}

TEST_P(EdgeArithmetic, SubnormalResultsStillReadBack) {
  Press(kTiny);
  for (int i = 0; i < 23; ++i) Press("X " + kTiny);
  Press("=");
  EXPECT_EQ(calc().Readout, "9.99999999998465E-313");
  Press("M+ MR X " + kE14 + " =");
  EXPECT_EQ(calc().Readout, "9.99999999998465E-299") << "the recalled text is the operand";
}

TEST_P(EdgeArithmetic, NegativeZeroShowsAsZero) {
  struct Case {
    const char* keys;
    const char* readout;
  };
  const Case cases[] = {
      {"5 X - 0 =", "0."},         // 5 x -0 is -0
      {"5 X - 0 = - 0 =", "0."},   // -0 - 0 is -0
      {"5 X - 0 = M+ MR", " 0."},  // the memory shows the zero with its blank
      {"5 + - 0 M+ MR", " 0."},    // -0. typed goes into the memory as 0
      {"0 / 5 =", "0."},
  };
  for (const Case& c : cases) {
    KeySession session;
    PressKeys(session, OnRoute(c.keys, GetParam()));
    EXPECT_EQ(session.calculator().Readout, c.readout) << c.keys;
    EXPECT_EQ(session.calculator().lblMemoFlag, " ") << c.keys;
    EXPECT_FALSE(session.window().message) << c.keys;
  }

  KeySession divide;
  PressKeys(divide, OnRoute("5 / - 0", GetParam()));
  const StatusRecord before = StateOf(divide.calculator());
  PressKeys(divide, OnRoute("=", GetParam()));
  EXPECT_EQ(divide.window().message, "Error, División entre cero") << "-0. is a zero divisor";
  EXPECT_EQ(StateOf(divide.calculator()), before);
}

TEST_P(EdgeArithmetic, NotationSwitchesAtOneE15AndOneE4) {
  struct Case {
    std::string keys;
    const char* readout;
  };
  const Case cases[] = {
      {kLargest + " + . 4 =", "999999999999999."},
      {kLargest + " + . 5 =", "1E+15."},  // rounded to 15 digits it is 1E+15
      {kLargest + " + 1 =", "1E+15."},
      {kLargest + " + 1 = X 2 =", "2E+15."},
      {kLargest + " + 1 - 1 =", "999999999999999."},          // the running value is the double
      {kLargest + " + 1 = - 1 =", "999999999999999."},        // "1E+15." read back as an operand
      {kLargest + " + 1 = M+ MR / 4 =", "250000000000000."},  // and " 1E+15." too
      {"0 - " + kLargest + " - 1 =", "-1E+15."},
      {"1 / 1 0 0 0 0 =", "0.0001"},
      {". 0 0 0 3 / 3 =", "0.0001"},  // just below 1E-4, rounded to it
      {"0 - 1 / 1 0 0 0 0 =", "-0.0001"},
      {"1 / 1 0 0 0 0 = / 1 0 =", "1E-05."},
      {". 0 0 0 0 9 9 9 9 9 9 9 9 9 9 X 1 =", "9.999999999E-05"},
      {"1 / 1 0 0 0 0 = M+ MR", " .0001"},
      {"0 - 1 / 1 0 0 0 0 = M+ MR", "-.0001"},
      {"1 / 1 0 0 0 0 0 = M+ MR", " 1E-05."},
  };
  for (const Case& c : cases) {
    KeySession session;
    PressKeys(session, OnRoute(c.keys, GetParam()));
    EXPECT_EQ(session.calculator().Readout, c.readout) << c.keys;
  }
}

TEST_P(EdgeArithmetic, RefusedMemorySumKeepsEverythingAndCeUndoesOnlyThatKey) {
  Press(kE14);
  for (int i = 0; i < 21; ++i) Press("X " + kE14);
  Press("= M+ MR");  // 1E+308 in the memory and on the display
  ASSERT_EQ(calc().Readout, " 1E+308.");
  const StatusRecord before = StateOf(calc());

  Press("M+");
  EXPECT_EQ(session_.window().message, "Error, Desbordamiento");
  EXPECT_EQ(StateOf(calc()), before) << "memory, indicator caption and display as they were";
  EXPECT_TRUE(calc().lblMemoFlagVisible);
  EXPECT_EQ(calc().StatusSnapshot, before);

  Press("CE");
  StatusRecord after_ce = before;
  after_ce.SavedEntryState = "CE";
  EXPECT_EQ(StateOf(calc()), after_ce) << "CE goes back to before the refused key, no further";
}

INSTANTIATE_TEST_SUITE_P(AllRoutes, EdgeArithmetic,
                         ::testing::Values(Route::Skin, Route::Buttons, Route::Keyboard),
                         testing::RouteName);

// The largest double shows as 1.79769313486232E+308, a text whose value lies
// just past the double range; reading it back must give the largest double,
// not an infinity that refuses every later use.
TEST(EdgeArithmeticLimits, TheLargestDoubleCanBeUsedOnceShown) {
  KeySession session;
  const std::string e14 = "X " + kE14;
  std::string keys = "1 7 9 7 6 9 3 1 3 4 8 6 2 3 1";  // 1.79769313486231E+308 ...
  for (int i = 0; i < 21; ++i) keys += " " + e14;
  keys += " = M+ 5 7";  // ... plus 5.7E+293 is the largest double
  for (int i = 0; i < 20; ++i) keys += " " + e14;
  keys += " X 1 0 0 0 0 0 0 0 0 0 0 0 0 = M+";
  PressKeys(session, keys);
  ASSERT_FALSE(session.window().message);

  const std::string memory = SlotText(session.calculator().MemoryValue);
  ASSERT_EQ(memory, "1.79769313486232E+308");
  ExpectReadsBack(memory);
  PressKeys(session, "MR / 2 =");
  EXPECT_FALSE(session.window().message);
  EXPECT_EQ(session.calculator().Readout, "8.98846567431158E+307");
}

}  // namespace
}  // namespace quintora
