#pragma once

// A small, independent reader for the icon and cursor files, so the tests
// check the bytes on disk rather than what Qt's decoder makes of them.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace quintora::testing {

// Little-endian fields; 0 past the end.
inline quint32 LittleEndian(const QByteArray& b, qsizetype at, int bytes) {
  if (at < 0 || at + bytes > b.size()) return 0;
  quint32 v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uchar>(b.at(at + i));
  return v;
}
inline quint16 U16(const QByteArray& b, qsizetype at) {
  return static_cast<quint16>(LittleEndian(b, at, 2));
}
inline quint32 U32(const QByteArray& b, qsizetype at) { return LittleEndian(b, at, 4); }

struct IconEntry {
  int width = 0;
  int height = 0;
  int colourCount = 0;
  int field4 = 0;  // colour planes of an icon, hot spot x of a cursor
  int field6 = 0;  // bit count of an icon, hot spot y of a cursor
  quint32 bytes = 0;
  quint32 offset = 0;
  // From the image's own header.
  int dibBitCount = 0;
  int dibCompression = -1;
  int dibHeight = 0;
  int paletteEntries = 0;
  // Decoded: transparent where the AND mask is set (or alpha is 0).
  QImage image;
};

struct IconFile {
  int type = 0;  // 1 icon, 2 cursor
  std::vector<IconEntry> entries;
};

inline int RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

inline IconFile ParseIconFile(const QByteArray& b) {
  IconFile file;
  if (U16(b, 0) != 0) return file;
  file.type = U16(b, 2);
  const int count = U16(b, 4);
  for (int i = 0; i < count; ++i) {
    const qsizetype e = 6 + 16 * i;
    if (e + 16 > b.size()) return {};
    IconEntry entry;
    entry.width = static_cast<uchar>(b[e]) ? static_cast<uchar>(b[e]) : 256;
    entry.height = static_cast<uchar>(b[e + 1]) ? static_cast<uchar>(b[e + 1]) : 256;
    entry.colourCount = static_cast<uchar>(b[e + 2]);
    entry.field4 = U16(b, e + 4);
    entry.field6 = U16(b, e + 6);
    entry.bytes = U32(b, e + 8);
    entry.offset = U32(b, e + 12);

    const qsizetype h = entry.offset;
    if (U32(b, h) != 40 || h + entry.bytes > static_cast<quint32>(b.size())) return {};
    const int w = static_cast<int>(U32(b, h + 4));
    entry.dibHeight = static_cast<int>(U32(b, h + 8));
    entry.dibBitCount = U16(b, h + 14);
    entry.dibCompression = static_cast<int>(U32(b, h + 16));
    const int bits = entry.dibBitCount;
    const int used = static_cast<int>(U32(b, h + 32));
    entry.paletteEntries = bits <= 8 ? (used ? used : 1 << bits) : 0;
    const int height = entry.dibHeight / 2;

    const qsizetype palette = h + 40;
    const qsizetype xorBits = palette + 4 * entry.paletteEntries;
    const qsizetype andBits = xorBits + RowBytes(w, bits) * height;
    if (andBits + RowBytes(w, 1) * height > b.size()) return {};

    QImage img(w, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
      const qsizetype row = xorBits + RowBytes(w, bits) * (height - 1 - y);
      const qsizetype mask = andBits + RowBytes(w, 1) * (height - 1 - y);
      for (int x = 0; x < w; ++x) {
        const bool clear = (static_cast<uchar>(b[mask + x / 8]) >> (7 - x % 8)) & 1;
        QRgb c = 0;
        if (bits == 32) {
          const qsizetype p = row + 4 * x;
          c = qRgba(static_cast<uchar>(b[p + 2]), static_cast<uchar>(b[p + 1]),
                    static_cast<uchar>(b[p]), static_cast<uchar>(b[p + 3]));
        } else {
          int index = 0;
          if (bits == 8) index = static_cast<uchar>(b[row + x]);
          if (bits == 4) index = (static_cast<uchar>(b[row + x / 2]) >> (x % 2 ? 0 : 4)) & 0xF;
          const qsizetype p = palette + 4 * index;
          c = qRgb(static_cast<uchar>(b[p + 2]), static_cast<uchar>(b[p + 1]),
                   static_cast<uchar>(b[p]));
        }
        img.setPixel(x, y, clear ? 0u : c);
      }
    }
    entry.image = img;
    file.entries.push_back(entry);
  }
  return file;
}

}  // namespace quintora::testing
