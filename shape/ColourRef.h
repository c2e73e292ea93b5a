#pragma once

#include <cstdint>

#include <QColor>

namespace quintora {

// A 32-bit colour reference: red in the low byte, then green, then blue
// (&HBBGGRR). A value with the top bit set names a system colour by the
// index in its low byte, e.g. &H8000000F is the face colour of buttons.
using ColourRef = std::uint32_t;

inline constexpr ColourRef kSystemColourFlag = 0x80000000u;
inline constexpr ColourRef kButtonFaceColour = 0x8000000Fu;

// The colour a reference stands for; system colours are taken from the
// application palette.
QColor ColourFromRef(ColourRef ref);

}  // namespace quintora
