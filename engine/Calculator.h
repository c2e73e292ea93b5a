#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Paste.h"
#include "ValueSlot.h"
#include "WindowEffects.h"

namespace quintora {

// The keys the window adds to the calculator's own keyboard.
enum class AddedKey {
  Backspace,     // takes back the last key, and entry goes on
  Escape,        // closes a message that is shown
  F1,            // the about text, as the logo shows it
  MemoryPlus,    // Ctrl+P, M+
  MemoryMinus,   // Ctrl+Q, M-
  MemoryRecall,  // Ctrl+R, MR
  MemoryClear,   // Ctrl+L, MC
  KeypadDecimal, // the keypad's decimal key, whatever the layout types
  Comma,         // a comma where the point is the decimal separator
  DecimalComma,  // a comma where it is the decimal separator
};

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

  // The keys the window adds, each doing what its click or character does.
  void AddedKey_Press(AddedKey key);

  // Enters a text from the clipboard as typing its keys would, but a number
  // as one number (PasteKeys says how the text is read); a text that cannot
  // be read changes nothing and is refused with a message. `decimal_comma`:
  // the user's decimal separator is a comma.
  void Paste(std::string_view text, bool decimal_comma);

 private:
  bool ReadoutTooLong() const;
  bool IsNumberState() const;
  void DigitKey(std::int16_t Index, ControlRef digit_source);
  void OperatorKey(std::int16_t Index, const std::string& symbol);
  bool Evaluate(const std::string& typed);
  void ShowLimitMessage();
  void RefuseKey(const char* message);
  void RefusePaste();
  void EnterNumber(const PastedNumber& number, bool replaces_entry);
  void TypeCharacter(char character);
  void FocusEquals();

  // Whether the engine refused the last key with a message: a paste stops
  // there.
  bool refused_ = false;

  WindowEffects& window_;
};

}  // namespace quintora
