#include <cmath>

#include "Calculator.h"
#include "Conversions.h"
#include "Messages.h"

namespace quintora {

void Calculator::LbCancel_Click() {
  ResetStatus();
  FocusEquals();
}

void Calculator::LbCancelaEntrada_Click() {
  RestoreStatus();
  EntryState = entry::kCe;
  FocusEquals();
}

void Calculator::TeclaMemoria_Click(std::int16_t Index) {
  MarkStatus();
  switch (Index) {
    case 0:  // M+
    case 1: {  // M-
      const double shown = LeadingNumber(Readout);
      const double memory = OperandValue(MemoryValue) + (Index == 0 ? shown : -shown);
      if (!std::isfinite(memory)) {
        RefuseKey(messages::kOverflow);
        return;
      }
      MemoryValue = memory;
      break;
    }
    case 2:  // MR
      Readout = MemoryText(OperandValue(MemoryValue));
      if (!HasDecimal(Readout)) Readout += ".";
      break;
    case 3:  // MC
      MemoryValue = std::int16_t{0};
      break;
    default:
      break;
  }

  const bool holds_value = OperandValue(MemoryValue) != 0;
  lblMemoFlagVisible = holds_value;
  lblMemoFlag = holds_value ? "M" : " ";

  // Memory keys end number entry like an operator that finds one operand.
  EntryState = entry::kOps;
  OperandCount = 1;
  FirstOperand = Readout;
  SecondOperand = std::int16_t{0};
  FocusEquals();
}

}  // namespace quintora
