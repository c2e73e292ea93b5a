#include "Calculator.h"
#include "Conversions.h"

namespace quintora {

void Calculator::Form_KeyPress(std::int16_t& KeyAscii) {
  MarkStatus();
  if (KeyAscii >= '0' && KeyAscii <= '9') {
    const std::string digit(1, static_cast<char>(KeyAscii));
    NumKey_Click(static_cast<std::int16_t>(LeadingNumber(digit)));
    return;
  }
  switch (KeyAscii) {
    case '.': Decimal_Click(); break;
    case '+': Operator_Click(0); break;
    case '-': Operator_Click(1); break;
    case '*': Operator_Click(2); break;
    case '/': Operator_Click(3); break;
    case '=':
    case '\r': Operator_Click(4); break;
    default: KeyAscii = 0; break;  // every other character is discarded
  }
}

void Calculator::Form_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) {
  if (KeyCode == kDeleteKeyCode) {
    ResetStatus();
    FocusEquals();
  }
}

}  // namespace quintora
