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

}  // namespace quintora
