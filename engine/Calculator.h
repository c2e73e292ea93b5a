#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ValueSlot.h"
#include "WindowEffects.h"

namespace quintora {

// What the last input was. "NUMS" and "DIGI" are the number states.
namespace entry {
inline constexpr const char* kNone = "NONE";
inline constexpr const char* kNums = "NUMS";
inline constexpr const char* kDigi = "DIGI";
inline constexpr const char* kNeg = "NEG";
inline constexpr const char* kOps = "OPS";
inline constexpr const char* kCe = "CE";
}  // namespace entry

// The one-step undo copy of the calculator state.
struct StatusRecord {
  std::string SavedReadout;
  ValueSlot SavedFirstOperand;
  ValueSlot SavedSecondOperand;
  Flag SavedPointFlag = kFalse;
  std::int16_t SavedOperandCount = 0;
  std::string SavedEntryState;
  std::string SavedPendingOperator;
  std::string SavedMemoFlag;
  ValueSlot SavedMemoryValue;

  friend bool operator==(const StatusRecord&, const StatusRecord&) = default;
};

// The calculator: its state, held as the window holds it (fields plus the
// captions of the display and of the memory indicator), and the key handlers.
// Everything it does to the window beyond these captions goes through
// WindowEffects, so it runs without a window.
class Calculator {
 public:
  explicit Calculator(WindowEffects& window) : window_(window) {}

  // Fields. A new calculator has empty texts, zero flags and empty slots;
  // start-up then calls ResetStatus.
  Flag TimerArmed = kFalse;
  ValueSlot FirstOperand;
  ValueSlot SecondOperand;
  Flag PointFlag = kFalse;
  std::int16_t OperandCount = 0;
  std::string EntryState;
  std::string PendingOperator;
  ValueSlot MemoryValue;
  StatusRecord StatusSnapshot;

  // Captions that belong to the state.
  std::string Readout;
  std::string lblMemoFlag;
  bool lblMemoFlagVisible = false;

  // State procedures.
  void ResetStatus();
  void MarkStatus();
  void RestoreStatus();
  static bool HasDecimal(std::string_view strToRead);

  // Number entry.
  void NumKey_Click(std::int16_t Index);
  void TeclaNumero_Click(std::int16_t Index);
  void Decimal_Click();
  void LbDecimal_Click();

  // Operators and evaluation.
  void Operator_Click(std::int16_t Index);
  void TeclaOpera_Click(std::int16_t Index);

  // Clear and memory keys.
  void LbCancel_Click();
  void LbCancelaEntrada_Click();
  void TeclaMemoria_Click(std::int16_t Index);

  // Keyboard: the character code may be replaced (0 discards it).
  void Form_KeyPress(std::int16_t& KeyAscii);
  void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
  // The key code of Delete, the one key Form_KeyDown acts on.
  static constexpr std::int16_t kDeleteKeyCode = 46;

  // Clipboard.
  void CopyButton_Click();

 private:
  bool ReadoutTooLong() const;
  bool IsNumberState() const;
  void DigitKey(std::int16_t Index, ControlRef digit_source);
  void OperatorKey(std::int16_t Index, const std::string& symbol);
  bool Evaluate(const std::string& typed);
  void ShowLimitMessage();
  void RefuseKey(const char* message);
  void FocusEquals();

  WindowEffects& window_;
};

}  // namespace quintora
