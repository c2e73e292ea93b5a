#pragma once

// Geometry of the skin picture in pixels (x to the right, y down). Ranges are
// inclusive pixel ranges, as the window's control table gives them; the
// drawing code turns them into edge coordinates (right/bottom + 1).

#include <QRect>
#include <QString>

#include <array>

namespace skingen::layout {

constexpr int kWidth = 344;
constexpr int kHeight = 422;

// Areas that must stay pure white: the window turns them into holes.
constexpr std::array<QRect, 4> kHoles = {
    QRect(QPoint(0, 0), QPoint(255, 51)),      // wide area above the left top edge
    QRect(QPoint(324, 0), QPoint(343, 18)),    // top-right corner
    QRect(QPoint(206, 371), QPoint(343, 421)), // step at the bottom right
    QRect(QPoint(0, 403), QPoint(19, 421)),    // bottom-left corner
};

// The light face inside the frame.
constexpr QRect kFace(QPoint(14, 101), QPoint(329, 356));

// Display strip (the readout's yellow text sits on it).
constexpr QRect kDisplay(QPoint(28, 62), QPoint(316, 92));

// Solar cells on the face, above the left half of the keys.
constexpr QRect kSolarCells(QPoint(28, 114), QPoint(139, 136));

// Raised title tabs: the slanted minimise tab and the square close tab.
constexpr QRect kMinimiseTab(QPoint(257, 20), QPoint(281, 44));
constexpr QRect kCloseTab(QPoint(288, 20), QPoint(316, 44));

// Logo letters.
constexpr QRect kLogo(QPoint(32, 380), QPoint(183, 400));

enum class Glyph { Text, Plus, Minus, Times, Divide, Equals, Point };

struct Key {
  QRect face;
  Glyph glyph;
  const char* text;  // for Glyph::Text
};

constexpr int kCol[6][2] = {{26, 61}, {76, 112}, {126, 162}, {183, 219}, {233, 268}, {280, 316}};
constexpr int kRow[4][2] = {{176, 203}, {219, 247}, {262, 290}, {302, 331}};

constexpr QRect KeyRect(int row, int col) {
  return QRect(QPoint(kCol[col][0], kRow[row][0]), QPoint(kCol[col][1], kRow[row][1]));
}

constexpr std::array<Key, 22> kKeys = {{
    {KeyRect(0, 0), Glyph::Text, "7"},
    {KeyRect(0, 1), Glyph::Text, "8"},
    {KeyRect(0, 2), Glyph::Text, "9"},
    {KeyRect(0, 3), Glyph::Text, "C"},
    {KeyRect(0, 4), Glyph::Text, "CE"},
    {KeyRect(0, 5), Glyph::Text, "M+"},
    {KeyRect(1, 0), Glyph::Text, "4"},
    {KeyRect(1, 1), Glyph::Text, "5"},
    {KeyRect(1, 2), Glyph::Text, "6"},
    {KeyRect(1, 3), Glyph::Plus, ""},
    {KeyRect(1, 4), Glyph::Minus, ""},
    {KeyRect(1, 5), Glyph::Text, "M-"},
    {KeyRect(2, 0), Glyph::Text, "1"},
    {KeyRect(2, 1), Glyph::Text, "2"},
    {KeyRect(2, 2), Glyph::Text, "3"},
    {KeyRect(2, 3), Glyph::Times, ""},
    {KeyRect(2, 4), Glyph::Divide, ""},
    {KeyRect(2, 5), Glyph::Text, "MR"},
    {QRect(QPoint(26, 302), QPoint(112, 331)), Glyph::Text, "0"},
    {KeyRect(3, 2), Glyph::Point, ""},
    {QRect(QPoint(184, 302), QPoint(270, 331)), Glyph::Equals, ""},
    {KeyRect(3, 5), Glyph::Text, "MC"},
}};

}  // namespace skingen::layout
