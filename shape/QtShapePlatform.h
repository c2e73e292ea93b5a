#pragma once

#include <memory>

#include "ShapePlatform.h"

namespace quintora {

// What the window system does with a program's window. X11 and Windows
// shape, fade, stack and move it as the program asks. Wayland takes the
// window's mask as its input region only, offers no window opacity, and
// leaves stacking and placing to the compositor and the user.
enum class WindowSystem { X11OrWindows, Wayland };
WindowSystem RunningWindowSystem();

// The platform roles over Qt. On X11 and Windows the colour key becomes a
// window mask (shape and input region), the opacity the window opacity, the
// topmost band the stays-on-top flag of the native window, the body drag a
// move of the window by itself, following the pointer until the button is
// released. On Wayland the mask is the input region of a translucent
// surface on which the window paints its holes and its opacity itself
// (PaintedLayer.h), the body drag is the compositor's move, and there is no
// topmost band to go into.
std::shared_ptr<ShapePlatform> MakeQtShapePlatform(WindowSystem system = RunningWindowSystem());

// The instance shared by all objects that are not given another platform.
std::shared_ptr<ShapePlatform> DefaultShapePlatform();

// Sends the requests waiting in Qt's X11 connection now. Qt sends them only
// when it next waits for an X event, which may be long after a change made
// from a timer, or, at start-up, after the event loop has handled the posted
// events of every widget. Does nothing on other platforms.
void FlushWindowSystem();

}  // namespace quintora
