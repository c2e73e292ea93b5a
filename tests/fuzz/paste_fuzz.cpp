// Coverage-guided fuzzing of paste. The first byte picks one of two kinds
// of text:
//  - a text the generator of PasteOracle.h writes, the bytes making its
//    choices: pasting it leaves the calculator as typing the keys it was
//    written from does, and so do the keys pressed after it;
//  - any bytes, of any length, pasted after keys the bytes choose: nothing
//    crashes, and a text refused as unreadable changes nothing (snapshot
//    included) but the timer.
// A broken property prints the case and aborts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Calculator.h"
#include "EngineState.h"
#include "HeadlessWindow.h"
#include "Messages.h"
#include "PasteOracle.h"

namespace {

using namespace quintora;

// Keys chosen by the bytes, then the rest of the bytes as the text.
void PasteAnyText(const test::Choice& below, const std::uint8_t*& data, const std::uint8_t* end) {
  HeadlessWindow window;
  Calculator calc(window);
  calc.TimerArmed = kTrue;
  calc.ResetStatus();
  for (std::size_t keys = below(8); keys > 0; --keys) test::PressKey(calc, "0123456789.+-*/=CBMR"[below(20)]);
  const bool decimal_comma = below(2);
  const std::string text(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(end));
  test::Fields expected = test::FieldsOf(calc);
  expected.timer_armed = kFalse;
  const auto logged = static_cast<std::ptrdiff_t>(window.log.size());
  calc.Paste(text, decimal_comma);
  const bool unreadable = std::find(window.log.begin() + logged, window.log.end(),
                                    std::string("message ") + messages::kPasteRefused) != window.log.end();
  if (unreadable && !(test::FieldsOf(calc) == expected)) {
    std::fprintf(stderr, "paste broken: a text refused as unreadable changed the calculator\ntext: '%s'\n",
                 text.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* const end = data + size;
  const test::Choice below = [&](std::size_t n) { return data < end ? *data++ % n : 0; };
  if (below(2)) {
    PasteAnyText(below, data, end);
  } else if (const auto failure = test::CheckPaste(test::MakePasteCase(below))) {
    std::fprintf(stderr, "paste broken: %s\n", failure->c_str());
    std::abort();
  }
  return 0;
}
