#include <gtest/gtest.h>

#include "KeySession.h"

namespace quintora {
namespace {

TEST(Harness, JsonHasEveryFieldInOrder) {
  KeySession session;
  for (const char* key : {"5", "M+", "+"}) ASSERT_TRUE(session.Press(key));
  EXPECT_EQ(session.Json(),
            R"({"readout":"5.","memoFlag":"M","memoVisible":true,"memory":"5",)"
            R"("entryState":"OPS","pendingOperator":"+","operandCount":1,)"
            R"("message":null,"messageBox":null,"clipboard":null})");
}

TEST(Harness, JsonEscapesControlCharactersAndQuotes) {
  EXPECT_EQ(JsonString("a\"b\\c\r\n\x01"), R"("a\"b\\c\r\n\u0001")");
  EXPECT_EQ(JsonString("Versión"), "\"Versión\"");
}

TEST(Harness, RejectsTokensThatNameNoKey) {
  KeySession session;
  for (const char* token : {"*", "x", "10", "b", "bX", "k", "kab", "kdel", "M", "COPY", "b10",
                            "k\xC0\xAE", "k\xED\xA0\x80", "k\xFF"}) {
    EXPECT_FALSE(session.Press(token)) << token;
  }
  EXPECT_EQ(session.calculator().StatusSnapshot, StatusRecord{}) << "nothing happened";
}

TEST(Harness, TypedCharactersBeyondAsciiAreDiscarded) {
  KeySession session;
  EXPECT_TRUE(session.Press("kñ"));
  EXPECT_TRUE(session.Press("k€"));
  EXPECT_TRUE(session.Press("k😀"));
  EXPECT_EQ(session.calculator().Readout, "0.");
}

}  // namespace
}  // namespace quintora
