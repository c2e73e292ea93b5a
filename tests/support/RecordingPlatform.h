#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QWidget>

#include "FormWindow.h"
#include "ShapePlatform.h"

namespace quintora::test {

// Records every platform call with the window as it was at that moment, so
// that tests can tell which steps ran before which.
class RecordingPlatform : public ShapePlatform {
public:
  struct Call {
    std::string role;
    std::uint64_t argument = 0;  // style, topmost flag, or key colour
    int alpha = -1;
    QSize windowSize;
    QRgb background = 0;
    bool hasPicture = false;
  };

  std::uint32_t ExtendedStyle(QWidget* w) override { Record("ExtendedStyle", w); return style; }
  void SetExtendedStyle(QWidget* w, std::uint32_t value) override {
    Record("SetExtendedStyle", w, value);
    if (style != value) ++changes;
    style = value;
  }
  void SetLayeredAttributes(QWidget* w, ColourRef key, std::uint8_t alpha) override {
    Record("SetLayeredAttributes", w, key).alpha = alpha;
    if (layered != std::pair<ColourRef, int>{key, alpha}) ++changes;
    layered = {key, alpha};
  }
  void RedrawWindow(QWidget* w) override { Record("RedrawWindow", w); }
  void StartBodyDrag(QWidget* w) override { Record("StartBodyDrag", w); }
  void SetTopMost(QWidget* w, bool value) override {
    Record("SetTopMost", w, value);
    if (topMost != value) ++changes;
    topMost = value;
  }
  bool IsProgramActive() override { return active; }
  // Counts like the Qt platform when counting is on: its own changes and
  // those of the window properties.
  std::optional<std::uint64_t> ChangeCount() override {
    if (!counting) return std::nullopt;
    return ShapeChanges() + changes;
  }

  std::vector<std::string> Roles() const {
    std::vector<std::string> roles;
    for (const Call& call : calls) roles.push_back(call.role);
    return roles;
  }

  std::uint32_t style = 0;
  std::pair<ColourRef, int> layered{0, -1};
  std::optional<bool> topMost;
  bool active = true;  // what IsProgramActive answers
  bool counting = false;
  std::uint64_t changes = 0;
  std::vector<Call> calls;

private:
  Call& Record(const char* role, QWidget* window, std::uint64_t argument = 0) {
    const WindowBackground background = BackgroundOf(window);
    calls.push_back({role, argument, -1, window->size(), background.colour.rgb(), !background.picture.isNull()});
    return calls.back();
  }
};

}  // namespace quintora::test
