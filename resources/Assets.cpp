#include "Assets.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPoint>
#include <QtEndian>

namespace quintora::assets {
namespace {

QByteArray Resource(const char* name) {
  QFile file(QStringLiteral(":/quintora/") + QLatin1String(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Icon and cursor files start with a 6-byte header and 16-byte directory
// entries; bytes 4-7 of an entry are the colour planes and bit count of an
// icon, or the hot spot of a cursor.
quint16 EntryField(const QByteArray& file, int entry, int offset) {
  const int at = 6 + 16 * entry + offset;
  if (file.size() < at + 2) return 0;
  return qFromLittleEndian<quint16>(file.constData() + at);
}

QImage ReadImage(const QByteArray& bytes, const char* format, int index = 0) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  if (index > 0) reader.jumpToImage(index);
  return reader.read();
}

}  // namespace

QImage SkinPicture() {
  return QImage::fromData(Resource("skin.bmp"), "BMP").convertToFormat(QImage::Format_RGB32);
}

QImage SkinPicture2x() {
  QImage image =
      QImage::fromData(Resource("skin@2x.png"), "PNG").convertToFormat(QImage::Format_RGB32);
  image.setDevicePixelRatio(2.0);
  return image;
}

QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/quintora/icons/quintora-%1.png").arg(size), QSize(size, size));
  return icon;
}

QCursor HandCursor() {
  const QByteArray file = Resource("hand.cur");
  const QPoint hotSpot(EntryField(file, 0, 4), EntryField(file, 0, 6));
  return QCursor(QPixmap::fromImage(ReadImage(file, "ICO")), hotSpot.x(), hotSpot.y());
}

QPixmap BackArrow() {
  const QByteArray file = Resource("back-arrow.ico");
  const int count = file.size() >= 6 ? qFromLittleEndian<quint16>(file.constData() + 4) : 0;
  int best = 0;
  for (int i = 0; i < count; ++i)
    if (EntryField(file, i, 6) == 32) best = i;
  return QPixmap::fromImage(ReadImage(file, "ICO", best));
}

}  // namespace quintora::assets
