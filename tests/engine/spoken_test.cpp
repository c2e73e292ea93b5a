#include <gtest/gtest.h>

#include "Spoken.h"

namespace quintora {
namespace {

TEST(SpokenNumber, SaysTheDisplayAsASpanishVoiceReadsNumbers) {
  const std::pair<const char*, const char*> cases[] = {
      {"9.", "9"},
      {"0.", "0"},
      {"-2.", "-2"},
      {" .25", "0,25"},
      {"-.25", "-0,25"},
      {"0.333333333333333", "0,333333333333333"},
      {"123456789012345.", "123456789012345"},
      {"1.50", "1,50"},
      {"1E-07.", "1 por diez elevado a menos 7"},
      {"1.5E+20.", "1,5 por diez elevado a 20"},
      {"-1.79769313486232E+308.", "-1,79769313486232 por diez elevado a 308"},
      {" 1E+100.", "1 por diez elevado a 100"},
  };
  for (const auto& [shown, spoken] : cases) EXPECT_EQ(SpokenNumber(shown), spoken) << shown;
}

TEST(SpokenMemory, SaysWhatTheMemoryHolds) {
  EXPECT_EQ(SpokenMemory(ValueSlot{}), "Memoria vacía");
  EXPECT_EQ(SpokenMemory(std::int16_t{0}), "Memoria vacía");
  EXPECT_EQ(SpokenMemory(-0.0), "Memoria vacía");
  EXPECT_EQ(SpokenMemory(9.0), "En memoria 9");
  EXPECT_EQ(SpokenMemory(-0.25), "En memoria -0,25");
  EXPECT_EQ(SpokenMemory(1e20), "En memoria 1 por diez elevado a 20");
}

}  // namespace
}  // namespace quintora
