#include "WinImage.h"


#include <stdexcept>

namespace skingen {
namespace {

void Put16(QByteArray& out, quint16 v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>(v >> 8));
}

void Put32(QByteArray& out, quint32 v) {
  for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

int RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

constexpr quint32 kPixelsPerMetre96Dpi = 3780;

void PutInfoHeader(QByteArray& out, int width, int height, int bits, quint32 imageBytes,
                   quint32 coloursUsed) {
  Put32(out, 40);
  Put32(out, static_cast<quint32>(width));
  Put32(out, static_cast<quint32>(height));
  Put16(out, 1);
  Put16(out, static_cast<quint16>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageBytes);
  Put32(out, kPixelsPerMetre96Dpi);
  Put32(out, kPixelsPerMetre96Dpi);
  Put32(out, coloursUsed);
  Put32(out, 0);
}

// DIB of one icon image: header with doubled height, palette, XOR bitmap and
// AND mask, both bottom-up.
QByteArray EncodeIconDib(const IconImage& img) {
  const int w = img.width;
  const int h = img.height;
  const int bits = img.bitsPerPixel;
  if (bits != 4 && bits != 8 && bits != 32) throw std::invalid_argument("unsupported depth");
  const int xorRow = RowBytes(w, bits);
  const int andRow = RowBytes(w, 1);
  const quint32 imageBytes = static_cast<quint32>((xorRow + andRow) * h);

  QByteArray out;
  PutInfoHeader(out, w, 2 * h, bits, imageBytes, 0);

  auto isTransparent = [&](int x, int y) {
    if (bits == 32) return qAlpha(img.argb.pixel(x, y)) == 0;
    return static_cast<bool>(img.transparent[static_cast<size_t>(y * w + x)]);
  };

  if (bits != 32) {
    const int entries = 1 << bits;
    if (img.palette.size() != entries) throw std::invalid_argument("palette size");
    for (QRgb c : img.palette) {
      out.append(static_cast<char>(qBlue(c)));
      out.append(static_cast<char>(qGreen(c)));
      out.append(static_cast<char>(qRed(c)));
      out.append('\0');
    }
  }

  for (int y = h - 1; y >= 0; --y) {
    QByteArray row(xorRow, '\0');
    for (int x = 0; x < w; ++x) {
      if (bits == 32) {
        const QRgb c = img.argb.pixel(x, y);
        char* p = row.data() + 4 * x;
        p[0] = static_cast<char>(qBlue(c));
        p[1] = static_cast<char>(qGreen(c));
        p[2] = static_cast<char>(qRed(c));
        p[3] = static_cast<char>(qAlpha(c));
        if (qAlpha(c) == 0) p[0] = p[1] = p[2] = 0;
        continue;
      }
      const unsigned idx = isTransparent(x, y) ? 0u : img.indices[static_cast<size_t>(y * w + x)];
      if (bits == 8) {
        row[x] = static_cast<char>(idx);
      } else {
        const int shift = (x % 2 == 0) ? 4 : 0;
        row[x / 2] = static_cast<char>(static_cast<unsigned char>(row[x / 2]) | (idx << shift));
      }
    }
    out.append(row);
  }

  for (int y = h - 1; y >= 0; --y) {
    QByteArray row(andRow, '\0');
    for (int x = 0; x < w; ++x) {
      if (isTransparent(x, y))
        row[x / 8] = static_cast<char>(static_cast<unsigned char>(row[x / 8]) | (0x80u >> (x % 8)));
    }
    out.append(row);
  }
  return out;
}

}  // namespace

QByteArray EncodeBmp24(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  const int w = image.width();
  const int h = image.height();
  const int row = RowBytes(w, 24);
  const quint32 pixelBytes = static_cast<quint32>(row * h);

  QByteArray out;
  out.append("BM");
  Put32(out, 14 + 40 + pixelBytes);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, w, -h, 24, pixelBytes, 0);
  for (int y = 0; y < h; ++y) {
    QByteArray line(row, '\0');
    const auto* px = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      line[3 * x + 0] = static_cast<char>(qBlue(px[x]));
      line[3 * x + 1] = static_cast<char>(qGreen(px[x]));
      line[3 * x + 2] = static_cast<char>(qRed(px[x]));
    }
    out.append(line);
  }
  return out;
}

QByteArray EncodeIconFile(const std::vector<IconImage>& images, bool cursor, QPoint hotSpot) {
  std::vector<QByteArray> dibs;
  for (const IconImage& img : images) dibs.push_back(EncodeIconDib(img));

  QByteArray out;
  Put16(out, 0);
  Put16(out, cursor ? 2 : 1);
  Put16(out, static_cast<quint16>(images.size()));
  quint32 offset = static_cast<quint32>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& img = images[i];
    out.append(static_cast<char>(img.width >= 256 ? 0 : img.width));
    out.append(static_cast<char>(img.height >= 256 ? 0 : img.height));
    out.append(static_cast<char>(img.bitsPerPixel == 4 ? 16 : 0));
    out.append('\0');
    if (cursor) {
      const int scale = img.width / images[0].width;
      Put16(out, static_cast<quint16>(hotSpot.x() * scale));
      Put16(out, static_cast<quint16>(hotSpot.y() * scale));
    } else {
      Put16(out, 1);
      Put16(out, static_cast<quint16>(img.bitsPerPixel));
    }
    Put32(out, static_cast<quint32>(dibs[i].size()));
    Put32(out, offset);
    offset += static_cast<quint32>(dibs[i].size());
  }
  for (const QByteArray& dib : dibs) out.append(dib);
  return out;
}

}  // namespace skingen
