#pragma once

#include <ostream>

#include "Calculator.h"
#include "Conversions.h"

// The calculator's state as the engine tests and fuzzers compare it.
namespace quintora {

// Readable failure messages for snapshots.
inline void PrintTo(const StatusRecord& s, std::ostream* out) {
  *out << "{readout '" << s.SavedReadout << "', first '" << SlotText(s.SavedFirstOperand) << "', second '"
       << SlotText(s.SavedSecondOperand) << "', point " << s.SavedPointFlag << ", operands " << s.SavedOperandCount
       << ", entry '" << s.SavedEntryState << "', pending '" << s.SavedPendingOperator << "', flag '"
       << s.SavedMemoFlag << "', memory '" << SlotText(s.SavedMemoryValue) << "'}";
}

namespace test {

// The nine fields a snapshot holds, as they are now.
inline StatusRecord StateOf(const Calculator& c) {
  return {c.Readout,    c.FirstOperand,    c.SecondOperand, c.PointFlag,  c.OperandCount,
          c.EntryState, c.PendingOperator, c.lblMemoFlag,   c.MemoryValue};
}

// Everything a handler may change in the calculator itself.
struct Fields {
  StatusRecord state;
  StatusRecord snapshot;
  bool memo_visible = false;
  Flag timer_armed = kFalse;

  friend bool operator==(const Fields&, const Fields&) = default;
  friend void PrintTo(const Fields& f, std::ostream* out) {
    *out << "state ";
    PrintTo(f.state, out);
    *out << ", snapshot ";
    PrintTo(f.snapshot, out);
    *out << ", indicator " << (f.memo_visible ? "shown" : "hidden") << ", timer armed " << f.timer_armed;
  }
};

inline Fields FieldsOf(const Calculator& c) {
  return {StateOf(c), c.StatusSnapshot, c.lblMemoFlagVisible, c.TimerArmed};
}

// Puts fields back into a calculator.
inline void Load(Calculator& c, const Fields& f) {
  c.Readout = f.state.SavedReadout;
  c.FirstOperand = f.state.SavedFirstOperand;
  c.SecondOperand = f.state.SavedSecondOperand;
  c.PointFlag = f.state.SavedPointFlag;
  c.OperandCount = f.state.SavedOperandCount;
  c.EntryState = f.state.SavedEntryState;
  c.PendingOperator = f.state.SavedPendingOperator;
  c.lblMemoFlag = f.state.SavedMemoFlag;
  c.MemoryValue = f.state.SavedMemoryValue;
  c.StatusSnapshot = f.snapshot;
  c.lblMemoFlagVisible = f.memo_visible;
  c.TimerArmed = f.timer_armed;
}

}  // namespace test
}  // namespace quintora
