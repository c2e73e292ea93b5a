#pragma once

// Geometry of the skin picture in pixels (x to the right, y down). Ranges are
// inclusive pixel ranges; the drawing code turns them into edge coordinates
// (right/bottom + 1). The labels the window lays over the skin come from its
// control table (Layout.h).

#include <QRect>

#include <array>

#include "Layout.h"

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

// A key: its painted face, and the key label of the window's control table
// that lies over it. The glyph is the label's caption drawn in the light
// glyph colour, laid out as the window's label draws it (same rectangle,
// pixel size and alignment; top-aligned), so that lighting the key recolours
// its glyph in place instead of printing a second one beside it.
struct Key {
  QRect face;  // inclusive pixel range of the key face
  const quintora::layout::Label& label;
};

constexpr int kCol[6][2] = {{26, 61}, {76, 112}, {126, 162}, {183, 219}, {233, 268}, {280, 316}};
constexpr int kRow[4][2] = {{176, 203}, {219, 247}, {262, 290}, {302, 331}};

constexpr QRect KeyRect(int row, int col) {
  return QRect(QPoint(kCol[col][0], kRow[row][0]), QPoint(kCol[col][1], kRow[row][1]));
}

constexpr const quintora::layout::Label& KeyLabel(const char* name, int index = -1) {
  return quintora::layout::FindLabel(quintora::layout::kKeyLabels, name, index);
}

// In drawing order, row by row.
constexpr std::array<Key, quintora::layout::kKeyLabels.size()> kKeys = {{
    {KeyRect(0, 0), KeyLabel("TeclaNumero", 7)},
    {KeyRect(0, 1), KeyLabel("TeclaNumero", 8)},
    {KeyRect(0, 2), KeyLabel("TeclaNumero", 9)},
    {KeyRect(0, 3), KeyLabel("LbCancel")},
    {KeyRect(0, 4), KeyLabel("LbCancelaEntrada")},
    {KeyRect(0, 5), KeyLabel("TeclaMemoria", 0)},
    {KeyRect(1, 0), KeyLabel("TeclaNumero", 4)},
    {KeyRect(1, 1), KeyLabel("TeclaNumero", 5)},
    {KeyRect(1, 2), KeyLabel("TeclaNumero", 6)},
    {KeyRect(1, 3), KeyLabel("TeclaOpera", 0)},
    {KeyRect(1, 4), KeyLabel("TeclaOpera", 1)},
    {KeyRect(1, 5), KeyLabel("TeclaMemoria", 1)},
    {KeyRect(2, 0), KeyLabel("TeclaNumero", 1)},
    {KeyRect(2, 1), KeyLabel("TeclaNumero", 2)},
    {KeyRect(2, 2), KeyLabel("TeclaNumero", 3)},
    {KeyRect(2, 3), KeyLabel("TeclaOpera", 2)},
    {KeyRect(2, 4), KeyLabel("TeclaOpera", 3)},
    {KeyRect(2, 5), KeyLabel("TeclaMemoria", 2)},
    {QRect(QPoint(26, 302), QPoint(112, 331)), KeyLabel("TeclaNumero", 0)},
    {KeyRect(3, 2), KeyLabel("LbDecimal")},
    {QRect(QPoint(184, 302), QPoint(270, 331)), KeyLabel("TeclaOpera", 4)},
    {KeyRect(3, 5), KeyLabel("TeclaMemoria", 3)},
}};

}  // namespace skingen::layout
