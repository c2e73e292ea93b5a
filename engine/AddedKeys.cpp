#include "Calculator.h"

namespace quintora {

void Calculator::AddedKey_Press(AddedKey key) {
  switch (key) {
    case AddedKey::Backspace:
      // The state saved before the last key, entry state included, and the
      // focus where every key leaves it. Nothing is saved first, so a second
      // Backspace changes nothing.
      RestoreStatus();
      FocusEquals();
      break;
    case AddedKey::Escape:
      if (window_.MessageShown()) {
        window_.CloseMessage();
      } else {
        TypeCharacter('\x1b');  // thrown away, as typed
      }
      break;
    case AddedKey::F1: window_.ShowAbout(); break;
    case AddedKey::MemoryPlus: TeclaMemoria_Click(0); break;
    case AddedKey::MemoryMinus: TeclaMemoria_Click(1); break;
    case AddedKey::MemoryRecall: TeclaMemoria_Click(2); break;
    case AddedKey::MemoryClear: TeclaMemoria_Click(3); break;
    case AddedKey::KeypadDecimal:
    case AddedKey::DecimalComma: TypeCharacter('.'); break;
    case AddedKey::Comma: TypeCharacter(','); break;  // thrown away, as typed
  }
}

}  // namespace quintora
