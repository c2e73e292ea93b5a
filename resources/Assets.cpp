#include "Assets.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include <QBuffer>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPoint>
#include <QResource>
#include <QtEndian>

namespace quintora::assets {
namespace {

// The bytes of an embedded file. The files are embedded uncompressed (see
// CMakeLists.txt), so this is the program's own copy, not a new one.
QByteArray Resource(const QString& path) {
  const QResource resource(path);
  if (!resource.isValid()) return {};
  if (resource.compressionAlgorithm() == QResource::NoCompression)
    return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size());
  return resource.uncompressedData();
}

QByteArray Resource(const char* name) {
  return Resource(QStringLiteral(":/quintora/") + QLatin1String(name));
}

// Little-endian fields; 0 past the end.
quint32 Field(const QByteArray& bytes, qsizetype at, int size) {
  if (at < 0 || at + size > bytes.size()) return 0;
  const char* p = bytes.constData() + at;
  switch (size) {
    case 1: return static_cast<uchar>(*p);
    case 2: return qFromLittleEndian<quint16>(p);
    default: return qFromLittleEndian<quint32>(p);
  }
}

// The pictures are decoded here rather than through QImageReader: the reader
// first scans Qt's image-format plugins and, to tell a file's format from its
// contents, loads every one of them. These few formats are simple enough.

// An uncompressed 24-bit BMP with top-down rows (a negative height); a null
// image for anything else. Its rows are blue, green, red bytes, which is Qt's
// BGR888, so the image reads the file in place, without a copy, and keeps
// the file's bytes alive. Qt reads 24-bit pixels a byte at a time, so the
// rows need not start on a 4-byte boundary.
QImage DecodeBmp24(const QByteArray& file) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return {};
  const quint32 pixels = Field(file, 10, 4);
  const quint32 header = Field(file, 14, 4);
  const auto width = static_cast<qint32>(Field(file, 18, 4));
  const auto height = static_cast<qint32>(Field(file, 22, 4));
  if (header < 40 || Field(file, 28, 2) != 24 || Field(file, 30, 4) != 0) return {};
  if (width <= 0 || width > 32768 || height >= 0 || height < -32768) return {};
  const int rows = -height;
  const qsizetype stride = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
  if (qsizetype(pixels) + stride * rows > file.size()) return {};

  auto* bytes = new QByteArray(file);
  return QImage(reinterpret_cast<const uchar*>(bytes->constData()) + pixels, width, rows, stride,
                QImage::Format_BGR888, [](void* kept) { delete static_cast<QByteArray*>(kept); }, bytes);
}

// One image of an icon or cursor file: an uncompressed DIB of 1, 4, 8 or 32
// bits per pixel followed by its 1-bit AND mask, where a set bit is a
// transparent pixel. A 32-bit image with any alpha in it uses that alpha
// instead of the mask. The result is ARGB32, as Qt's ICO reader gives it.
QImage DecodeIconEntry(const QByteArray& file, int index) {
  const int count = int(Field(file, 4, 2));
  if (Field(file, 0, 2) != 0 || index < 0 || index >= count) return {};
  const qsizetype dib = Field(file, 6 + 16 * index + 12, 4);
  const quint32 header = Field(file, dib, 4);
  const auto width = static_cast<qint32>(Field(file, dib + 4, 4));
  const auto doubleHeight = static_cast<qint32>(Field(file, dib + 8, 4));
  const int bits = int(Field(file, dib + 14, 2));
  if (header < 40 || Field(file, dib + 16, 4) != 0) return {};  // BI_RGB only
  if (width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 512) return {};
  if (bits != 1 && bits != 4 && bits != 8 && bits != 32) return {};
  const int height = doubleHeight / 2;

  const int colours = bits == 32 ? 0 : (Field(file, dib + 32, 4) ? int(Field(file, dib + 32, 4)) : 1 << bits);
  if (colours > 256) return {};
  const qsizetype palette = dib + header;
  const qsizetype xorBits = palette + 4 * qsizetype(colours);
  const qsizetype xorStride = ((qsizetype(width) * bits + 31) / 32) * 4;
  const qsizetype andBits = xorBits + xorStride * height;
  const qsizetype andStride = ((qsizetype(width) + 31) / 32) * 4;
  if (andBits + andStride * height > file.size()) return {};

  std::array<QRgb, 256> table{};
  for (int i = 0; i < colours; ++i) {
    const qsizetype at = palette + 4 * i;
    table[i] = qRgb(int(Field(file, at + 2, 1)), int(Field(file, at + 1, 1)), int(Field(file, at, 1)));
  }
  const auto* data = reinterpret_cast<const uchar*>(file.constData());

  bool useAlpha = false;
  if (bits == 32) {
    for (int y = 0; y < height && !useAlpha; ++y)
      for (int x = 0; x < width && !useAlpha; ++x) useAlpha = data[xorBits + xorStride * y + 4 * x + 3] != 0;
  }

  QImage image(width, height, QImage::Format_ARGB32);
  if (image.isNull()) return {};
  for (int y = 0; y < height; ++y) {
    const int row = height - 1 - y;  // bottom-up
    const uchar* in = data + xorBits + xorStride * row;
    const uchar* mask = data + andBits + andStride * row;
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      QRgb pixel;
      if (bits == 32) {
        const uchar* p = in + 4 * x;
        pixel = qRgba(p[2], p[1], p[0], useAlpha ? p[3] : 0xFF);
      } else {
        const int shift = 8 - bits - (x * bits) % 8;
        pixel = table[(in[x * bits / 8] >> shift) & ((1 << bits) - 1)];
      }
      if (!useAlpha && (mask[x / 8] >> (7 - x % 8) & 1)) pixel &= 0x00FFFFFF;
      out[x] = pixel;
    }
  }
  return image;
}

// Qt's own PNG decoder. With the format detection off, the reader takes the
// built-in handler for the format named instead of first asking every
// image-format plugin (and so loading it) whether it recognises the bytes.
QImage DecodePng(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  if (!buffer.open(QIODevice::ReadOnly)) return {};
  QImageReader reader(&buffer, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

// Directory entries of an icon or cursor file.
qsizetype EntryAt(int index) { return 6 + 16 * qsizetype(index); }
int Width(const QByteArray& file, int index) {
  const int width = int(Field(file, EntryAt(index), 1));
  return width ? width : 256;
}

// The entry, among those `usable` says may be taken, drawn for `size` pixels
// at the device pixel ratio nearest to `devicePixelRatio`.
template <typename Usable>
int EntryFor(const QByteArray& file, int size, qreal devicePixelRatio, Usable usable) {
  const int wanted = size * std::max(1, qRound(devicePixelRatio));
  int best = -1;
  for (int i = 0; i < int(Field(file, 4, 2)); ++i) {
    if (!usable(i)) continue;
    if (best < 0 || std::abs(Width(file, i) - wanted) < std::abs(Width(file, best) - wanted)) best = i;
  }
  return std::max(best, 0);
}

constexpr std::array<int, 4> kIconSizes = {16, 32, 48, 64};

// The window icon. Its pictures are decoded when a size is asked for (the
// window system takes them once, when the window is created) and not kept.
class EmbeddedIconEngine final : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }

  // The smallest picture at least as large as asked, else the largest,
  // scaled down to fit when it is larger, as QIcon's own engine does.
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    if (size.isEmpty()) return {};
    const int best = BestSize(size);
    QPixmap pixmap = QPixmap::fromImage(
        DecodePng(Resource(QStringLiteral(":/quintora/icons/quintora-%1.png").arg(best))));
    const QSize actual = actualSize(size, QIcon::Normal, QIcon::Off);
    if (!pixmap.isNull() && pixmap.size() != actual)
      pixmap = pixmap.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return pixmap;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    if (size.isEmpty()) return {};
    QSize actual(BestSize(size), BestSize(size));
    if (actual.width() > size.width() || actual.height() > size.height()) actual.scale(size, Qt::KeepAspectRatio);
    return actual;
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (int s : kIconSizes) sizes.append(QSize(s, s));
    return sizes;
  }

  QIconEngine* clone() const override { return new EmbeddedIconEngine; }
  QString key() const override { return QStringLiteral("QuintoraEmbeddedIcon"); }

 private:
  static int BestSize(const QSize& size) {
    const int wanted = std::max(size.width(), size.height());
    for (int s : kIconSizes)
      if (s >= wanted) return s;
    return kIconSizes.back();
  }
};

}  // namespace

QImage SkinPicture() {
  const QByteArray file = Resource("skin.bmp");
  QImage image = DecodeBmp24(file);
  if (image.isNull()) image = QImage::fromData(file, "BMP");
  return image;
}

QImage SkinPicture2x() {
  QImage image = DecodePng(Resource("skin@2x.png")).convertToFormat(QImage::Format_RGB32);
  image.setDevicePixelRatio(2.0);
  return image;
}

QIcon WindowIcon() { return QIcon(new EmbeddedIconEngine); }

QCursor HandCursor(qreal devicePixelRatio) {
  const QByteArray file = Resource("hand.cur");
  const int entry = EntryFor(file, 32, devicePixelRatio, [](int) { return true; });
  const qreal scale = Width(file, entry) / 32.0;
  QPixmap pixmap = QPixmap::fromImage(DecodeIconEntry(file, entry));
  pixmap.setDevicePixelRatio(scale);
  // The hot spot is stored for the entry's own pixels.
  const QPoint hotSpot(int(Field(file, EntryAt(entry) + 4, 2)), int(Field(file, EntryAt(entry) + 6, 2)));
  return QCursor(pixmap, qRound(hotSpot.x() / scale), qRound(hotSpot.y() / scale));
}

QPixmap BackArrow(qreal devicePixelRatio) {
  const QByteArray file = Resource("back-arrow.ico");
  const int entry = EntryFor(file, 16, devicePixelRatio,
                             [&file](int i) { return Field(file, EntryAt(i) + 6, 2) == 32; });
  QPixmap pixmap = QPixmap::fromImage(DecodeIconEntry(file, entry));
  pixmap.setDevicePixelRatio(Width(file, entry) / 16.0);
  return pixmap;
}

}  // namespace quintora::assets
