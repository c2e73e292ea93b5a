#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "WindowEffects.h"

namespace quintora {

// The window effects without a window: captions as the real window has them
// after start-up, and a record of everything the handlers did. Used by the
// key harness and the tests.
class HeadlessWindow : public WindowEffects {
 public:
  HeadlessWindow();

  std::string Caption(ControlRef control) const override;
  void SetFocus(ControlRef control) override;
  void ShowMessage(const std::string& caption, std::optional<int> font_points) override;
  void SetTimerEnabled(bool enabled) override;
  bool MessageShown() const override;
  void CloseMessage() override;
  void ShowAbout() override;
  void ShowMessageBox(const std::string& text) override;
  void SetClipboardText(const std::string& text) override;

  // The pointer moving onto a key label lights it with its symbol, as the
  // hover feedback of the real window does.
  void Hover(ControlRef label);
  // A caption set directly, e.g. a label the pointer never reached.
  void SetCaption(ControlRef control, std::string caption);

  // When set, the clipboard refuses text, as when another program holds it.
  bool clipboard_refuses = false;

  std::optional<ControlRef> focus;
  std::optional<std::string> message;  // the message on show
  std::optional<int> message_font_points;
  std::optional<std::string> message_box;
  std::optional<std::string> clipboard;
  bool timer_enabled = true;

  // Every effect in order, one line each ("focus Operator(4)", "timer off").
  std::vector<std::string> log;

 private:
  std::map<std::string, std::string> captions_;  // by ControlText
};

std::string ControlText(ControlRef control);

}  // namespace quintora
