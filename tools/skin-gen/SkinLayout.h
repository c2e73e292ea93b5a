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

// A key: its painted face, and the glyph painted on it. The glyph is the
// key's hover caption drawn in the light glyph colour, laid out as the
// window's label draws that caption (same rectangle, pixel size and
// alignment; top-aligned), so that lighting the key recolours its glyph in
// place instead of printing a second one beside it.
struct Key {
  QRect face;         // inclusive pixel range of the key face
  QRect caption;      // the label: left, top, width, height
  const char* text;   // the caption
  int pixelSize;      // caption font size in pixels
  bool alignLeft;     // left-aligned caption; otherwise centred
};

constexpr int kCol[6][2] = {{26, 61}, {76, 112}, {126, 162}, {183, 219}, {233, 268}, {280, 316}};
constexpr int kRow[4][2] = {{176, 203}, {219, 247}, {262, 290}, {302, 331}};

constexpr QRect KeyRect(int row, int col) {
  return QRect(QPoint(kCol[col][0], kRow[row][0]), QPoint(kCol[col][1], kRow[row][1]));
}

constexpr std::array<Key, 22> kKeys = {{
    {KeyRect(0, 0), QRect(31, 175, 31, 26), "7", 21, false},
    {KeyRect(0, 1), QRect(81, 175, 31, 26), "8", 21, false},
    {KeyRect(0, 2), QRect(131, 175, 31, 26), "9", 21, false},
    {KeyRect(0, 3), QRect(184, 175, 33, 28), "C", 21, false},
    {KeyRect(0, 4), QRect(235, 175, 33, 28), "CE", 21, false},
    {KeyRect(0, 5), QRect(284, 176, 30, 30), "M+", 21, true},
    {KeyRect(1, 0), QRect(31, 219, 31, 26), "4", 21, false},
    {KeyRect(1, 1), QRect(81, 219, 31, 26), "5", 21, false},
    {KeyRect(1, 2), QRect(131, 219, 31, 26), "6", 21, false},
    {KeyRect(1, 3), QRect(188, 208, 29, 31), "+", 32, false},
    {KeyRect(1, 4), QRect(236, 207, 29, 32), "-", 32, false},
    {KeyRect(1, 5), QRect(283, 218, 30, 30), "M-", 21, true},
    {KeyRect(2, 0), QRect(29, 262, 31, 26), "1", 21, false},
    {KeyRect(2, 1), QRect(81, 262, 31, 26), "2", 21, false},
    {KeyRect(2, 2), QRect(131, 262, 31, 26), "3", 21, false},
    {KeyRect(2, 3), QRect(187, 264, 29, 28), "X", 19, false},
    {KeyRect(2, 4), QRect(236, 262, 29, 32), "/", 21, false},
    {KeyRect(2, 5), QRect(283, 262, 30, 30), "MR", 21, true},
    {QRect(QPoint(26, 302), QPoint(112, 331)), QRect(35, 303, 76, 26), "0", 21, false},
    {KeyRect(3, 2), QRect(131, 300, 30, 30), ".", 21, false},
    {QRect(QPoint(184, 302), QPoint(270, 331)), QRect(189, 301, 77, 32), "=", 24, false},
    {KeyRect(3, 5), QRect(284, 303, 30, 30), "MC", 21, true},
}};

}  // namespace skingen::layout
