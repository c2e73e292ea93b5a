#pragma once

// Writers for the Windows picture formats the program ships: an uncompressed
// 24-bit BMP, and icon/cursor files whose images are stored as DIBs (with the
// 1-bit AND mask) at 4, 8 or 32 bits per pixel. Qt writes none of these the
// way we need, so the bytes are laid out here by hand.

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QVector>

#include <vector>

namespace skingen {

// Top-down (negative height), so that a reader can take the rows in place;
// 24 bpp, BI_RGB, 96 dpi. Alpha is ignored.
QByteArray EncodeBmp24(const QImage& image);

// One image of an icon or cursor file.
struct IconImage {
  // Indexed images: one palette index per pixel, row-major, top row first.
  // Transparent pixels are given by `transparent` (same layout) and written
  // with palette index 0 and a set AND-mask bit.
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;               // 4, 8 or 32
  QVector<QRgb> palette;              // 16 or 256 entries for 4 and 8 bpp
  std::vector<unsigned char> indices; // 4 and 8 bpp
  std::vector<bool> transparent;      // 4 and 8 bpp
  QImage argb;                        // 32 bpp: ARGB32, straight alpha
};

// Icon (type 1) or cursor (type 2) file. For a cursor the hot spot, given for
// the first image, is written into each directory entry, scaled with the
// image's width.
QByteArray EncodeIconFile(const std::vector<IconImage>& images, bool cursor = false,
                          QPoint hotSpot = {});

}  // namespace skingen
