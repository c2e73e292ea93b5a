#pragma once

#include <cmath>

// The calculator's unit of length, the twip, and the screen pixel: 15 twips
// to the pixel. Plain C++, so that what draws or checks the window's layout
// outside the window converts as the window does.
namespace quintora {

inline constexpr int kTwipsPerPixel = 15;

inline int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }
// Rounds to the nearest pixel.
inline int TwipsToPixels(long long twips) { return int(std::llround(double(twips) / kTwipsPerPixel)); }

}  // namespace quintora
