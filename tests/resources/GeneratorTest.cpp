// The committed pictures are what the generator draws. Whatever it draws
// with its integer rasteriser or pixel by pixel must come out byte for byte.
// The skin's artwork is painted by Qt's raster and font engines, whose last
// bits may differ from one CPU to another, so its pixels may differ by
// kSkinTolerance per channel; its holes (the pure-white pixels that shape
// the window) must be exactly the committed ones.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

constexpr int kSkinTolerance = 4;
const QStringList kSkinPictures = {"skin.bmp", "skin@2x.png"};

QStringList FilesUnder(const QString& root) {
  QStringList names;
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) names << QDir(root).relativeFilePath(it.next());
  names.sort();
  return names;
}

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ExpectSamePicture(const QString& name, const QImage& drawn, const QImage& committed) {
  ASSERT_EQ(drawn.size(), committed.size()) << name.toStdString();
  int holesDiffer = 0, beyondTolerance = 0, largest = 0;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) {
      const QRgb a = drawn.pixel(x, y), b = committed.pixel(x, y);
      holesDiffer += (qRgb(255, 255, 255) == a) != (qRgb(255, 255, 255) == b);
      const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
      largest = std::max(largest, d);
      beyondTolerance += d > kSkinTolerance;
    }
  EXPECT_EQ(holesDiffer, 0) << name.toStdString() << ": pixels that are a hole in one picture only";
  EXPECT_EQ(beyondTolerance, 0) << name.toStdString() << ": largest channel difference " << largest;
}

TEST(Generator, ReproducesTheCommittedFiles) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  QProcess generator;
  generator.start(QStringLiteral(QUINTORA_SKIN_GEN), {out.path()});
  ASSERT_TRUE(generator.waitForFinished(120000));
  ASSERT_EQ(generator.exitStatus(), QProcess::NormalExit);
  ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

  const QStringList drawn = FilesUnder(out.path());
  ASSERT_FALSE(drawn.isEmpty());
  const QDir committed(QStringLiteral(QUINTORA_RESOURCES_DIR));
  for (const QString& name : drawn) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(committed.exists(name)) << "drawn but not committed";
    const QString drawnPath = QDir(out.path()).filePath(name);
    if (kSkinPictures.contains(name))
      ExpectSamePicture(name, QImage(drawnPath).convertToFormat(QImage::Format_RGB32),
                        QImage(committed.filePath(name)).convertToFormat(QImage::Format_RGB32));
    else
      EXPECT_TRUE(Bytes(drawnPath) == Bytes(committed.filePath(name))) << "differs from the committed file";
  }
}

}  // namespace
