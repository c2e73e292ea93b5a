#include "HeadlessWindow.h"

#include <array>

#include "Captions.h"
#include "Messages.h"

namespace quintora {

std::string ControlText(ControlRef control) {
  static constexpr std::array<const char*, 5> kNames = {"NumKey", "TeclaNumero", "Operator",
                                                        "TeclaOpera", "Decimal"};
  const std::string name = kNames[static_cast<std::size_t>(control.name)];
  if (control.name == ControlName::Decimal) return name;
  return name + "(" + std::to_string(control.index) + ")";
}

HeadlessWindow::HeadlessWindow() {
  for (std::int16_t i = 0; i < 10; ++i) {
    captions_[ControlText({ControlName::NumKey, i})] = std::to_string(i);
    captions_[ControlText({ControlName::TeclaNumero, i})] = "";
  }
  for (std::int16_t i = 0; i < 5; ++i) {
    captions_[ControlText({ControlName::Operator, i})] = kOperatorButtonCaptions[i];
    captions_[ControlText({ControlName::TeclaOpera, i})] = "";
  }
  captions_[ControlText({ControlName::Decimal, 0})] = ".";
}

std::string HeadlessWindow::Caption(ControlRef control) const {
  const auto found = captions_.find(ControlText(control));
  return found != captions_.end() ? found->second : std::string();
}

void HeadlessWindow::SetCaption(ControlRef control, std::string caption) {
  const auto found = captions_.find(ControlText(control));
  if (found != captions_.end()) found->second = std::move(caption);
}

void HeadlessWindow::Hover(ControlRef label) {
  const auto i = static_cast<std::size_t>(label.index);
  if (label.name == ControlName::TeclaNumero) SetCaption(label, std::to_string(i));
  if (label.name == ControlName::TeclaOpera && i < kOperatorLabelCaptions.size()) {
    SetCaption(label, kOperatorLabelCaptions[i]);
  }
}

void HeadlessWindow::SetFocus(ControlRef control) {
  focus = control;
  log.push_back("focus " + ControlText(control));
}

void HeadlessWindow::ShowMessage(const std::string& caption, std::optional<int> font_points) {
  message = caption;
  if (font_points) message_font_points = font_points;
  log.push_back("message " + caption);
}

void HeadlessWindow::SetTimerEnabled(bool enabled) {
  timer_enabled = enabled;
  log.push_back(enabled ? "timer on" : "timer off");
}

bool HeadlessWindow::MessageShown() const { return message.has_value(); }

void HeadlessWindow::CloseMessage() {
  message.reset();
  log.push_back("close message");
}

void HeadlessWindow::ShowAbout() {
  timer_enabled = false;
  ShowMessage(messages::kAbout, messages::kAboutFontPoints);
}

void HeadlessWindow::ShowMessageBox(const std::string& text) {
  message_box = text;
  log.push_back("message box");
}

void HeadlessWindow::SetClipboardText(const std::string& text) {
  log.push_back("clipboard");
  if (!clipboard_refuses) clipboard = text;
}

}  // namespace quintora
