#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quintora {

// The controls of the window that key handlers address: the hidden push
// buttons, which take the focus, and the key labels whose captions they read.
enum class ControlName { NumKey, TeclaNumero, Operator, TeclaOpera, Decimal };

struct ControlRef {
  ControlName name;
  std::int16_t index = 0;  // element of a control array; 0 for Decimal

  friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

// What the key handlers do to the window besides the calculator state. The
// calculator window implements it; tests and the key harness record it.
class WindowEffects {
 public:
  virtual ~WindowEffects() = default;

  // Caption of a key label or hidden button at the moment of the press.
  virtual std::string Caption(ControlRef control) const = 0;
  virtual void SetFocus(ControlRef control) = 0;

  // Brings the message panel into the key area, shows it, sets the font size
  // of its text when one is given (otherwise keeps the last one), then sets
  // the caption of its text.
  virtual void ShowMessage(const std::string& caption, std::optional<int> font_points) = 0;
  virtual void SetTimerEnabled(bool enabled) = 0;

  // Whether the message panel is up; closing it as a click on its arrow
  // does; the about text as a click on the logo shows it.
  virtual bool MessageShown() const = 0;
  virtual void CloseMessage() = 0;
  virtual void ShowAbout() = 0;

  // Modal message box with an OK button only; returns when it was closed.
  virtual void ShowMessageBox(const std::string& text) = 0;

  // Puts plain text on the system clipboard. A clipboard that refuses the
  // text must not raise: the calculator has no failure path for it.
  virtual void SetClipboardText(const std::string& text) = 0;
};

}  // namespace quintora
