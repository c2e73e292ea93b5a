#pragma once

// The window icon, the hand pointer and the message panel's back arrow.

#include <QImage>
#include <QPoint>

#include <vector>

#include "WinImage.h"

namespace skingen {

// The calculator icon at `size` pixels (16 to 256), ARGB32. Sizes 16 and 32
// are drawn pixel by pixel in the 16 icon colours; larger ones are smooth
// (integer supersampling).
QImage DrawWindowIcon(int size);

// The 32 x 32, 16-colour image of the .ico file.
IconImage WindowIcon16Colours();

// The 16-colour hand pointer at 32 x 32 and, for a device pixel ratio of 2,
// at 64 x 64; the hot spot is that of the 32 x 32 image.
constexpr QPoint kHandHotSpot(12, 1);
std::vector<IconImage> HandCursorImages();

// The green arrow pointing back, 16 x 16 times `scale`, ARGB32 with
// straight alpha; no pixel is pure white.
QImage DrawBackArrow(int scale);
// Its icon images: 16 x 16 at 8 bits per pixel (edges blended over the
// message panel's navy) and 32 bits per pixel with alpha, and 32 x 32 at 32
// bits per pixel for a device pixel ratio of 2.
std::vector<IconImage> BackArrowImages();

}  // namespace skingen
