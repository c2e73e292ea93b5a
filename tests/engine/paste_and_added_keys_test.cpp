#include <gtest/gtest.h>

#include <random>

#include "Messages.h"
#include "Paste.h"
#include "PasteOracle.h"
#include "Routes.h"

namespace quintora {
namespace {

using testing::PressKeys;

// A key sequence from the start, with the user's decimal separator, and the
// display and message on show it ends with.
struct Row {
  const char* keys;
  bool decimal_comma;
  const char* readout;
  const char* message = nullptr;
};

void ExpectRows(std::initializer_list<Row> rows) {
  for (const Row& row : rows) {
    KeySession session(row.decimal_comma);
    PressKeys(session, row.keys);
    const std::string where = std::string(row.keys) + (row.decimal_comma ? " (decimal comma)" : "");
    EXPECT_EQ(session.calculator().Readout, row.readout) << where;
    EXPECT_EQ(session.window().message.value_or("none"), row.message ? row.message : "none") << where;
  }
}

TEST(AddedKeys, DoWhatTheirClickOrCharacterDoes) {
  ExpectRows({
      {"k1 k2 k3 Backspace k4", false, "124."},
      {"k1 k2 k3 CE k4", false, "4."},
      {"k5 k+ k3 Backspace Backspace", false, "5."},
      {"k5 Ctrl+P k2 Ctrl+Q Ctrl+R", false, " 3."},
      {"k5 Ctrl+P Ctrl+L Ctrl+R", false, " 0."},
      {"k1 KP. k5", false, "1.5"},
      {"k1 KP. k5", true, "1.5"},
      {"k1 Comma k5", false, "15."},
      {"k1 Comma k5", true, "1.5"},
      {"k1 k, k5", true, "15."},
      {"F1", false, "0.", messages::kAbout},
      {"F1 Escape", false, "0."},
      {"k1 k2 k3 k4 k5 k6 k7 k8 k9 k0 k1 k2 k3 k4 k5 k6 Escape", false, "123456789012345."},
  });
}

TEST(AddedKeys, EscapeWithoutAMessageIsADiscardedCharacter) {
  KeySession escape, typed;
  PressKeys(escape, "k1 k2 k+ Escape CE");
  PressKeys(typed, "k1 k2 k+ kEscape CE");
  EXPECT_EQ(escape.Json(), typed.Json());
  EXPECT_EQ(escape.calculator().StatusSnapshot, typed.calculator().StatusSnapshot);
}

TEST(Paste, EntersNumbersAndKeysAsTheyAreWritten) {
  ExpectRows({
      {"2 + paste:3 =", false, "5."},
      {"paste:7+2=", false, "9."},
      {"paste:6÷2=", false, "3."},
      {"paste:6×2=", false, "12."},
      {"paste:6x2=", false, "12."},
      {"paste:-5+3=", false, "-2."},
      {"paste:5-3=", false, "2."},
      {"paste:5X-3=", false, "-15."},
      {"paste:3\\n4", false, "4."},
      {"paste:3\\r\\n4=", false, "4."},
      {"paste:1,234.56", false, "1234.56"},
      {"paste:1,234", false, "1234."},
      {"paste:1.234,56", true, "1234.56"},
      {"paste:1.234.567", true, "1234567."},
      {"paste:1,5", true, "1.5"},
      {"paste:1,234", true, "1.234"},
      {"paste:1.5", true, "1.5"},
      {"paste:1E-07. X 2 =", false, "2E-07."},
      {"paste:\\s5. + 1 =", false, "6."},
      {"paste:\\s.25", false, "0.25"},
      {"paste:-2.", false, "-2."},
      {"paste:007", false, "7."},
      {"paste:\\s\\t", false, "0."},
      {"k1 k2 paste:3", false, "3."},
      {"k1 k2 paste:-3", false, "-3."},
      {"paste:123456789012345", false, "123456789012345."},
  });
}

TEST(Paste, RefusesATextItCannotReadAndChangesNothing) {
  for (const bool decimal_comma : {false, true}) {
    for (const char* text : {"paste:1\\s2", "paste:12,34.5", "paste:1,2,3", "paste:1.2.3,4", "paste:abc",
                             "paste:1E", "paste:7+2=?", "paste:\\xff", "paste:1.23,5"}) {
      KeySession session(decimal_comma);
      PressKeys(session, "k1 k2 k+ k3");
      const std::string before = session.Json();
      const StatusRecord snapshot = session.calculator().StatusSnapshot;
      PressKeys(session, text);
      EXPECT_EQ(session.window().message, messages::kPasteRefused) << text << " " << decimal_comma;
      EXPECT_EQ(session.calculator().Readout, "3.") << text;
      EXPECT_EQ(session.calculator().StatusSnapshot, snapshot) << text;
      session.window().message.reset();
      EXPECT_EQ(session.Json(), before) << text;
    }
  }
  ExpectRows({{"paste:1,5", false, "0.", messages::kPasteRefused},
              {("paste:" + std::string(65, '1')).c_str(), false, "0.", messages::kPasteRefused}});
}

TEST(Paste, ANumberTypingCouldNotEnterIsRefusedWithTheEntryLimit) {
  ExpectRows({
      {"paste:1234567890123456", false, "0.", messages::kEntryLimit},
      {"paste:-123456789012345", false, "0.", messages::kEntryLimit},
      {"paste:1.5E+20.", false, "0.", messages::kEntryLimit},
      {"paste:1E-99", false, "0.", messages::kEntryLimit},
      {"paste:1+1E99999999999", false, "0.", messages::kEntryLimit},
  });
}

TEST(Paste, AKeyTheEngineRefusesEndsThePasteThere) {
  ExpectRows({{"paste:5/0=3", false, "0.", messages::kDivisionByZero}});
}

TEST(Paste, UndoTakesBackItsLastKey) {
  ExpectRows({
      {"k1 k2 paste:3 Backspace k4", false, "124."},
      {"paste:12 Backspace", false, "1."},
      {"paste:-5 Backspace", false, "0."},
      {"paste:7+2= CE", false, "2."},
  });
}

// Random key sequences, before and after, and texts written from them in
// every form paste reads: pasting leaves what typing the keys leaves.
TEST(Paste, LeavesWhatTypingTheKeysOfItsTextLeaves) {
  std::mt19937 random(29);
  const test::Choice below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  for (int i = 0; i < 4000; ++i) {
    if (const auto failure = test::CheckPaste(test::MakePasteCase(below))) FAIL() << "case " << i << ": " << *failure;
  }
}

}  // namespace
}  // namespace quintora
