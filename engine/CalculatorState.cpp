#include "Calculator.h"

namespace quintora {

void Calculator::ResetStatus() {
  Readout = "0.";
  FirstOperand = std::int16_t{0};
  SecondOperand = std::int16_t{0};
  PointFlag = kFalse;
  OperandCount = 0;
  EntryState = entry::kNone;
  PendingOperator = " ";
  lblMemoFlag = " ";
  MemoryValue = std::int16_t{0};
}

void Calculator::MarkStatus() {
  StatusRecord& s = StatusSnapshot;
  s.SavedReadout = Readout;
  s.SavedFirstOperand = FirstOperand;
  s.SavedSecondOperand = SecondOperand;
  s.SavedPointFlag = PointFlag;
  s.SavedOperandCount = OperandCount;
  s.SavedEntryState = EntryState;
  s.SavedPendingOperator = PendingOperator;
  s.SavedMemoFlag = lblMemoFlag;
  s.SavedMemoryValue = MemoryValue;
}

void Calculator::RestoreStatus() {
  const StatusRecord& s = StatusSnapshot;
  Readout = s.SavedReadout;
  FirstOperand = s.SavedFirstOperand;
  SecondOperand = s.SavedSecondOperand;
  PointFlag = s.SavedPointFlag;
  OperandCount = s.SavedOperandCount;
  EntryState = s.SavedEntryState;
  PendingOperator = s.SavedPendingOperator;
  lblMemoFlag = s.SavedMemoFlag;
  MemoryValue = s.SavedMemoryValue;
}

bool Calculator::HasDecimal(std::string_view strToRead) {
  return strToRead.find('.') != std::string_view::npos;
}

bool Calculator::ReadoutTooLong() const { return Readout.size() >= 16; }

bool Calculator::IsNumberState() const {
  return EntryState == entry::kDigi || EntryState == entry::kNums;
}

void Calculator::FocusEquals() { window_.SetFocus({ControlName::Operator, 4}); }

}  // namespace quintora
