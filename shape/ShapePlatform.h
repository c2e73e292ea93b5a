#pragma once

#include <cstdint>
#include <optional>

#include "ColourRef.h"

class QWidget;

namespace quintora {

// The window-system services the shaped-window object needs, one function
// per role. The object never looks at results beyond what a role returns.
class ShapePlatform {
public:
  // The layered bit of a window's extended style.
  static constexpr std::uint32_t kLayeredStyle = 0x80000;

  virtual ~ShapePlatform() = default;

  // The window's extended style bits (0 for a window that never got any).
  virtual std::uint32_t ExtendedStyle(QWidget* window) = 0;
  // Stores new style bits. Clearing the layered bit drops the colour key
  // and the opacity: the window becomes whole and opaque again.
  virtual void SetExtendedStyle(QWidget* window, std::uint32_t style) = 0;

  // On a layered window: every pixel of keyColour in what the window draws
  // as its background becomes a hole that shows what lies behind and lets
  // the mouse through; the whole window gets the opacity alpha / 255.
  // Does nothing on a window without the layered bit.
  virtual void SetLayeredAttributes(QWidget* window, ColourRef keyColour, std::uint8_t alpha) = 0;

  // Invalidates the window, its frame and all its children and has their
  // background erased.
  virtual void RedrawWindow(QWidget* window) = 0;

  // Called from a left-button press on the window's body: the window then
  // follows the mouse until the button is released, as if its title bar had
  // been dragged.
  virtual void StartBodyDrag(QWidget* window) = 0;

  // Puts the window into the band of windows that stay above all others, or
  // takes it out, without hiding, moving or resizing it.
  virtual void SetTopMost(QWidget* window, bool topMost) = 0;

  // Whether one of the program's windows is the active window of the desktop.
  virtual bool IsProgramActive() = 0;

  // A count that moves with every change made to any window's shape state,
  // here or through the window properties of FormWindow.h: background,
  // extended style, colour key, opacity, topmost band, a picture box's
  // picture. While it stands still, what was set up stays set up. A
  // platform that does not count answers nothing.
  virtual std::optional<std::uint64_t> ChangeCount() { return std::nullopt; }
};

}  // namespace quintora
