#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "Conversions.h"

namespace quintora {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber("53."), 53);
  EXPECT_EQ(LeadingNumber("-0.5"), -0.5);
  EXPECT_EQ(LeadingNumber(" .25"), 0.25);
  EXPECT_EQ(LeadingNumber("+7"), 7);
  EXPECT_EQ(LeadingNumber("1E+15."), 1e15);
  EXPECT_EQ(LeadingNumber("1.5E-07"), 1.5e-7);
  EXPECT_EQ(LeadingNumber("2d3"), 2000);
  EXPECT_EQ(LeadingNumber("2e"), 2);
  EXPECT_EQ(LeadingNumber("2E+"), 2);
  EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
  EXPECT_EQ(LeadingNumber(" 1 2\t3\n4"), 1234);
  EXPECT_EQ(LeadingNumber("- 5"), -5);
  EXPECT_EQ(LeadingNumber("1 E 3"), 1000);
}

TEST(LeadingNumber, IsZeroWithoutALeadingNumber) {
  for (const char* text : {"", "-", "-0.", ".", "abc", ",5", "E5", "\r5"}) {
    EXPECT_EQ(LeadingNumber(text), 0) << text;
  }
  EXPECT_EQ(LeadingNumber("1,5"), 1) << "a comma ends the number";
}

TEST(LeadingNumber, SaturatesOutsideTheDoubleRange) {
  EXPECT_EQ(LeadingNumber("1E400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("-1.8E+308."), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("1E-400"), 0);
  EXPECT_EQ(LeadingNumber("0E99999999999999999999"), 0);
  EXPECT_EQ(LeadingNumber("1E99999999999999999999"), std::numeric_limits<double>::infinity());
}

TEST(LeadingNumber, TheShownLargestDoubleReadsAsTheLargestDouble) {
  constexpr double kMax = std::numeric_limits<double>::max();
  EXPECT_EQ(LeadingNumber("1.79769313486232E+308."), kMax);
  EXPECT_EQ(LeadingNumber("-1.79769313486232E+308"), -kMax);
  EXPECT_EQ(LeadingNumber("179769313486231.99E+294"), kMax);
  EXPECT_EQ(LeadingNumber("1.797693134862320001E+308"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LeadingNumber("1.79769313486233E+308"), std::numeric_limits<double>::infinity());
}

TEST(ResultText, BeyondTheDoubleRangeIsWrittenAsItsEdgeInEveryBuild) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ResultText(kInf), "1.79769313486232E+308");
  EXPECT_EQ(ResultText(-kInf), "-1.79769313486232E+308");
  EXPECT_EQ(ResultText(std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(ResultText, PlainBetweenOneTenThousandthAndOneE15) {
  EXPECT_EQ(ResultText(8), "8");
  EXPECT_EQ(ResultText(-2), "-2");
  EXPECT_EQ(ResultText(0.25), "0.25");
  EXPECT_EQ(ResultText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(ResultText(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(ResultText(123456789012345), "123456789012345");
  EXPECT_EQ(ResultText(0.0001), "0.0001");
  EXPECT_EQ(ResultText(-0.00012), "-0.00012");
  EXPECT_EQ(ResultText(100), "100");
  EXPECT_EQ(ResultText(0.1 + 0.2), "0.3");
}

TEST(ResultText, ScientificOutsideThatRange) {
  EXPECT_EQ(ResultText(1e15), "1E+15");
  EXPECT_EQ(ResultText(999999999999999.9), "1E+15") << "rounding decides the notation";
  EXPECT_EQ(ResultText(9.99999999999999e15), "9.99999999999999E+15");
  EXPECT_EQ(ResultText(1e-5), "1E-05");
  EXPECT_EQ(ResultText(1.5e-7), "1.5E-07");
  EXPECT_EQ(ResultText(0.0000999999999999999), "9.99999999999999E-05");
  EXPECT_EQ(ResultText(-2.5e100), "-2.5E+100");
  EXPECT_EQ(ResultText(std::numeric_limits<double>::max()), "1.79769313486232E+308");
  EXPECT_EQ(ResultText(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
}

TEST(ResultText, ZeroOfEitherSignIsZero) {
  EXPECT_EQ(ResultText(0.0), "0");
  EXPECT_EQ(ResultText(-0.0), "0");
}

TEST(ResultText, ReadsBackAsTheValueRoundedToFifteenDigits) {
  for (double v : {1.0 / 3, 2.0 / 3, 1e15 / 7, 1e-5 / 3, -12345.678901234567, 6.02214076e23}) {
    const std::string text = ResultText(v);
    EXPECT_EQ(ResultText(LeadingNumber(text)), text);
    EXPECT_NEAR(LeadingNumber(text), v, std::fabs(v) * 1e-14);
  }
}

TEST(MemoryText, LeadingBlankAndNoZeroBeforeThePoint) {
  EXPECT_EQ(MemoryText(5), " 5");
  EXPECT_EQ(MemoryText(0), " 0");
  EXPECT_EQ(MemoryText(-0.0), " 0");
  EXPECT_EQ(MemoryText(-2), "-2");
  EXPECT_EQ(MemoryText(0.25), " .25");
  EXPECT_EQ(MemoryText(-0.25), "-.25");
  EXPECT_EQ(MemoryText(-2.5), "-2.5");
  EXPECT_EQ(MemoryText(1e20), " 1E+20");
  EXPECT_EQ(MemoryText(1.5e-7), " 1.5E-07");
}

TEST(SlotText, WritesEachKindOfSlot) {
  EXPECT_EQ(SlotText(ValueSlot{}), "");
  EXPECT_EQ(SlotText(ValueSlot{std::int16_t{0}}), "0");
  EXPECT_EQ(SlotText(ValueSlot{12.5}), "12.5");
  EXPECT_EQ(SlotText(ValueSlot{std::string("7.")}), "7.");
  EXPECT_EQ(OperandValue(ValueSlot{}), 0);
  EXPECT_EQ(OperandValue(ValueSlot{std::string("1E+15.")}), 1e15);
  EXPECT_EQ(OperandValue(ValueSlot{std::string("")}), 0);
}

}  // namespace
}  // namespace quintora
