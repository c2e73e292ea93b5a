#include <cmath>
#include <optional>

#include "Calculator.h"
#include "Conversions.h"
#include "Messages.h"

namespace quintora {

void Calculator::Operator_Click(std::int16_t Index) {
  OperatorKey(Index, window_.Caption({ControlName::Operator, Index}));
}

void Calculator::TeclaOpera_Click(std::int16_t Index) {
  OperatorKey(Index, window_.Caption({ControlName::TeclaOpera, Index}));
}

// One algorithm for both entry points; only the symbol's source differs.
void Calculator::OperatorKey(std::int16_t Index, const std::string& symbol) {
  window_.SetFocus({ControlName::Operator, Index});
  MarkStatus();
  const std::string typed = Readout;
  if (IsNumberState()) ++OperandCount;

  if (OperandCount == 0) {
    // A minus before any operand signs the number on the display.
    if (symbol == "-" && EntryState != entry::kNeg && LeadingNumber(Readout) != 0) {
      Readout = "-" + Readout;
      EntryState = entry::kNeg;
    }
  } else if (OperandCount == 1) {
    FirstOperand = Readout;
    // A minus where a number is expected starts a negative number.
    if (PendingOperator != "=" && symbol == "-" && !IsNumberState() &&
        LeadingNumber(Readout) != 0) {
      EntryState = entry::kNeg;
      Readout = "0.";
    }
  } else if (!Evaluate(typed)) {
    return;
  }

  if (EntryState != entry::kNeg) {
    EntryState = entry::kOps;
    PendingOperator = symbol;
  }
  if (!HasDecimal(Readout)) Readout = LeadingNumber(Readout) == 0 ? "0." : Readout + ".";
  FocusEquals();
}

// Applies the pending operator to the running value and the typed number.
// Returns false when the key press was refused and the state put back.
bool Calculator::Evaluate(const std::string& typed) {
  SecondOperand = typed;
  const double first = OperandValue(FirstOperand);
  const double second = OperandValue(SecondOperand);
  const std::string& op = PendingOperator;
  std::optional<double> result;  // stays empty when no operation is pending
  if (op == "+") {
    result = first + second;
  } else if (op == "-") {
    result = first - second;
  } else if (op == "X" || op == "*") {
    result = first * second;
  } else if (op == "/") {
    if (second == 0) {
      RefuseKey(messages::kDivisionByZero);
      return false;
    }
    result = first / second;
  } else if (op == "=") {
    result = second;  // the number typed after "=" becomes the running value
  }

  if (result) {
    if (!std::isfinite(*result)) {
      RefuseKey(messages::kOverflow);
      return false;
    }
    FirstOperand = *result;
  }
  Readout = SlotText(FirstOperand);
  OperandCount = 1;
  return true;
}

// Division by zero and overflow: the panel says why, the timer stops, and the
// state goes back to the snapshot of this key press.
void Calculator::RefuseKey(const char* message) {
  refused_ = true;
  window_.ShowMessage(message, messages::kErrorFontPoints);
  window_.SetTimerEnabled(false);
  TimerArmed = kFalse;
  RestoreStatus();
}

}  // namespace quintora
