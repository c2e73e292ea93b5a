#include <gtest/gtest.h>

#include "Conversions.h"
#include "Routes.h"

namespace quintora {
namespace {

using testing::PressKeys;

TEST(State, ResetStatusGivesTheStartStateAndClearsTheMemory) {
  KeySession session;
  PressKeys(session, "5 M+ + 3");
  Calculator& calc = session.calculator();
  calc.ResetStatus();
  EXPECT_EQ(calc.Readout, "0.");
  EXPECT_EQ(calc.lblMemoFlag, " ");
  EXPECT_TRUE(calc.lblMemoFlagVisible) << "visibility is left to the memory keys";
  EXPECT_EQ(SlotText(calc.MemoryValue), "0");
  EXPECT_EQ(SlotText(calc.FirstOperand), "0");
  EXPECT_EQ(SlotText(calc.SecondOperand), "0");
  EXPECT_EQ(calc.PointFlag, kFalse);
  EXPECT_EQ(calc.OperandCount, 0);
  EXPECT_EQ(calc.EntryState, "NONE");
  EXPECT_EQ(calc.PendingOperator, " ");
}

TEST(State, RestoreGivesBackTheMarkedStateByValueAndIsIdempotent) {
  KeySession session;
  Calculator& calc = session.calculator();
  PressKeys(session, "1 2 . 5 M+ X 3");
  calc.MarkStatus();
  const StatusRecord marked = calc.StatusSnapshot;
  calc.Readout = "9.";
  std::get<std::string>(calc.FirstOperand) += "0";
  calc.SecondOperand = 4.0;
  calc.PointFlag = kTrue;
  calc.OperandCount = 2;
  calc.EntryState = "OPS";
  calc.PendingOperator = "/";
  calc.lblMemoFlag = " ";
  calc.MemoryValue = std::int16_t{0};
  calc.lblMemoFlagVisible = false;
  calc.TimerArmed = kFalse;
  EXPECT_EQ(calc.StatusSnapshot, marked) << "later changes never reach the snapshot";
  calc.RestoreStatus();
  calc.RestoreStatus();
  EXPECT_EQ(calc.Readout, "3.");
  EXPECT_EQ(SlotText(calc.FirstOperand), "12.5");
  EXPECT_EQ(SlotText(calc.SecondOperand), "0");
  EXPECT_EQ(calc.PointFlag, kFalse);
  EXPECT_EQ(calc.OperandCount, 1);
  EXPECT_EQ(calc.EntryState, "NUMS");
  EXPECT_EQ(calc.PendingOperator, "X");
  EXPECT_EQ(calc.lblMemoFlag, "M");
  EXPECT_EQ(SlotText(calc.MemoryValue), "12.5");
  EXPECT_FALSE(calc.lblMemoFlagVisible) << "visibility is not part of the snapshot";
  EXPECT_EQ(calc.TimerArmed, kFalse) << "nor is the timer arming";
}

TEST(State, CeBeforeAnySnapshotRestoresTheEmptyOne) {
  KeySession session;
  PressKeys(session, "CE");
  const Calculator& calc = session.calculator();
  EXPECT_EQ(calc.Readout, "");
  EXPECT_EQ(calc.lblMemoFlag, "");
  EXPECT_EQ(calc.EntryState, "CE");
  EXPECT_EQ(calc.PendingOperator, "");
  EXPECT_EQ(SlotText(calc.MemoryValue), "");
  PressKeys(session, "M+ MR");
  EXPECT_EQ(calc.Readout, " 0.") << "an empty memory counts as 0";
  EXPECT_FALSE(calc.lblMemoFlagVisible);
}

TEST(State, HasDecimal) {
  EXPECT_FALSE(Calculator::HasDecimal(""));
  EXPECT_FALSE(Calculator::HasDecimal("123"));
  EXPECT_TRUE(Calculator::HasDecimal("5."));
  EXPECT_TRUE(Calculator::HasDecimal(".5"));
  EXPECT_TRUE(Calculator::HasDecimal("1.5"));
  EXPECT_FALSE(Calculator::HasDecimal("1,5"));
}

TEST(NumberEntry, SixteenCharactersIsTheLimit) {
  const std::string fifteen = "1 2 3 4 5 6 7 8 9 0 1 2 3 4 5";
  KeySession session;
  PressKeys(session, fifteen);
  const Calculator& calc = session.calculator();
  ASSERT_EQ(calc.Readout, "123456789012345.");
  PressKeys(session, "6");
  EXPECT_EQ(calc.Readout, "123456789012345.");
  EXPECT_EQ(calc.EntryState, "NUMS");
  EXPECT_EQ(session.window().message,
            "Ha llegado al límite de caracteres para esta Versión de Quintora 1.1.");
  EXPECT_FALSE(session.window().message_font_points) << "the limit keeps the last font size";
  EXPECT_EQ(calc.TimerArmed, kFalse);
  EXPECT_FALSE(session.window().timer_enabled);
  EXPECT_EQ(session.window().focus, (ControlRef{ControlName::Operator, 4}));
  PressKeys(session, ".");
  EXPECT_EQ(calc.Readout, "123456789012345.") << "the point is refused as well";
  PressKeys(session, "CE");
  EXPECT_EQ(calc.Readout, "12345678901234.") << "refused keys take no snapshot";
}

TEST(NumberEntry, FourteenDigitsTakeThePointAndOneMoreDigit) {
  KeySession session;
  PressKeys(session, "1 2 3 4 5 6 7 8 9 0 1 2 3 4 . 5 6");
  EXPECT_EQ(session.calculator().Readout, "12345678901234.5");
  EXPECT_FALSE(session.window().message_box);
}

TEST(NumberEntry, TypedDigitAtTheLimitStillTakesTheKeyboardSnapshot) {
  KeySession session;
  PressKeys(session, "1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 k6 CE");
  EXPECT_EQ(session.calculator().Readout, "123456789012345.");
  EXPECT_EQ(session.calculator().EntryState, "CE");
}

TEST(NumberEntry, ALongResultNeverBlocksTheNextNumber) {
  KeySession session;
  PressKeys(session, "1 / 3 = 7");
  EXPECT_EQ(session.calculator().Readout, "7.");
}

TEST(NumberEntry, PointThatMakesTheDisplayTooLongIsUndoneAfterTheMessageBox) {
  KeySession session;
  Calculator& calc = session.calculator();
  PressKeys(session, "5 +");
  calc.EntryState = "NEG";  // a sign state whose display is already too long
  calc.Readout = "0.00000000000000000";
  const StatusRecord before_point{calc.Readout, calc.FirstOperand, calc.SecondOperand,
                                  calc.PointFlag, calc.OperandCount, calc.EntryState,
                                  calc.PendingOperator, calc.lblMemoFlag, calc.MemoryValue};
  PressKeys(session, ".");
  EXPECT_EQ(session.window().message_box, "Maximum digits  15\r\nResult overflowed");
  EXPECT_EQ(calc.StatusSnapshot, before_point);
  EXPECT_EQ(calc.Readout, "0.00000000000000000");
  EXPECT_EQ(calc.EntryState, "NEG");
  EXPECT_EQ(session.window().focus, (ControlRef{ControlName::Decimal, 0}));
}

TEST(NumberEntry, HiddenDigitButtonTakesTheFocusBeforeTheSnapshot) {
  KeySession session;
  PressKeys(session, "b7");
  const std::vector<std::string> expected = {"focus NumKey(7)", "focus Operator(4)"};
  EXPECT_EQ(session.window().log, expected);
  KeySession skin;
  PressKeys(skin, "7");
  EXPECT_EQ(skin.window().log, std::vector<std::string>{"focus Operator(4)"});
}

}  // namespace
}  // namespace quintora
