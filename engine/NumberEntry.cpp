#include "Calculator.h"
#include "Conversions.h"
#include "Messages.h"

namespace quintora {

void Calculator::NumKey_Click(std::int16_t Index) {
  DigitKey(Index, {ControlName::NumKey, Index});
}

void Calculator::TeclaNumero_Click(std::int16_t Index) {
  DigitKey(Index, {ControlName::TeclaNumero, Index});
}

// The digit keys: the hidden buttons take the focus themselves first, the
// skin labels do not; the digit is the caption of the pressed control.
void Calculator::DigitKey(std::int16_t Index, ControlRef digit_source) {
  if (IsNumberState() && ReadoutTooLong()) {
    ShowLimitMessage();
    return;
  }
  if (digit_source.name == ControlName::NumKey) window_.SetFocus({ControlName::NumKey, Index});
  MarkStatus();
  if (!IsNumberState()) {  // a new number begins
    Readout = ".";
    PointFlag = kFalse;
  }
  const std::string digit = window_.Caption(digit_source);
  if (IsTrue(PointFlag)) {
    Readout += digit;
  } else {
    Readout = Readout.substr(0, Readout.find('.')) + digit + ".";
  }
  if (EntryState == entry::kNeg) Readout = "-" + Readout;
  EntryState = entry::kNums;
  FocusEquals();
}

void Calculator::Decimal_Click() {
  if (IsNumberState() && Readout.size() == 16) {
    ShowLimitMessage();
    return;
  }
  window_.SetFocus({ControlName::Decimal, 0});
  MarkStatus();
  if (EntryState == entry::kNeg) {
    if (LeadingNumber(Readout) != 0) Readout = "-0.";
  } else if (!IsNumberState()) {
    Readout = "0.";
  }
  PointFlag = kTrue;
  EntryState = entry::kDigi;
  if (ReadoutTooLong()) {
    window_.ShowMessageBox(messages::kPointOverflow);
    refused_ = true;
    RestoreStatus();
    return;
  }
  FocusEquals();
}

void Calculator::LbDecimal_Click() { Decimal_Click(); }

void Calculator::ShowLimitMessage() {
  refused_ = true;
  window_.ShowMessage(messages::kEntryLimit, std::nullopt);
  TimerArmed = kFalse;
  window_.SetTimerEnabled(false);
  FocusEquals();
}

}  // namespace quintora
