#pragma once

#include <memory>

#include "ShapePlatform.h"

namespace quintora {

// The platform roles over Qt. The same code serves X11 and Windows: the
// colour key becomes a window mask (shape and input region), the opacity
// the window opacity, the topmost band the stays-on-top flag of the native
// window, the body drag a move of the window by itself, following the
// pointer until the button is released.
std::shared_ptr<ShapePlatform> MakeQtShapePlatform();

// The instance shared by all objects that are not given another platform.
std::shared_ptr<ShapePlatform> DefaultShapePlatform();

// Sends the requests waiting in Qt's X11 connection now. Qt sends them only
// when it next waits for an X event, which may be long after a change made
// from a timer, or, at start-up, after the event loop has handled the posted
// events of every widget. Does nothing on other platforms.
void FlushWindowSystem();

}  // namespace quintora
