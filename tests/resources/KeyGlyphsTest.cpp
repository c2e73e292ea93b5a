// The glyphs painted on the keys must sit exactly where the window's labels
// draw their captions on hover, so that a lit key looks like its own glyph
// turning yellow rather than a second glyph printed beside it. The captions
// are drawn here as the labels draw them (QPainter::drawText in the label's
// rectangle, clipped to it) and compared with the committed pictures.

#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include "LayoutQt.h"
#include "SkinLayout.h"

namespace {

using skingen::layout::Key;
using skingen::layout::kHeight;
using skingen::layout::kKeys;
using skingen::layout::kWidth;

constexpr char kCaptionFontFile[] = "/usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf";

QImage Picture(const char* name) {
  return QImage(QStringLiteral(QUINTORA_RESOURCES_DIR "/") + QLatin1String(name))
      .convertToFormat(QImage::Format_RGB32);
}

// The caption font family, or an empty string without the font file.
QString CaptionFamily() {
  static const QString family = [] {
    if (!QFile::exists(QLatin1String(kCaptionFontFile))) return QString();
    return QFontDatabase::applicationFontFamilies(
               QFontDatabase::addApplicationFont(QLatin1String(kCaptionFontFile)))
        .value(0);
  }();
  return family;
}

// The caption's coverage (alpha) as the key's label draws it on a picture
// `scale` times the skin size.
QImage CaptionCoverage(const quintora::layout::Label& label, int scale) {
  QImage img(kWidth * scale, kHeight * scale, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  img.setDevicePixelRatio(scale);
  QPainter p(&img);
  QFont font(CaptionFamily());
  font.setPixelSize(quintora::PointsToPixels(label.font.points));
  p.setFont(font);
  p.setPen(Qt::black);
  const QRect rect = quintora::PixelRect(label.rect);
  p.setClipRect(rect);
  p.drawText(rect, quintora::Alignment(label.align), QString::fromUtf8(label.caption));
  p.end();
  img.setDevicePixelRatio(1);
  return img;
}

// Glyph pixels: light in every channel (the key face and its shadows are
// darker blues).
bool IsGlyph(QRgb c) { return qRed(c) >= 160 && qGreen(c) >= 160 && qBlue(c) >= 160; }

void ExpectGlyphsUnderCaptions(const QImage& skin, int scale) {
  ASSERT_EQ(skin.size(), QSize(kWidth * scale, kHeight * scale));
  // The labels reach past their keys onto the light face, so glyphs are
  // looked for on the keys.
  for (const Key& key : kKeys) {
    const QImage cover = CaptionCoverage(key.label, scale);
    // The part of the label over its key, clear of the key's rounded rim.
    const QRect inner = quintora::PixelRect(key.label.rect).intersected(key.face.adjusted(2, 2, -2, -2));
    const QRect label(inner.topLeft() * scale, inner.size() * scale);
    int uncovered = 0;  // glyph pixels the caption does not touch
    int solid = 0;      // pixels the caption covers fully or nearly
    int solidOnGlyph = 0;
    for (int y = label.top(); y <= label.bottom(); ++y)
      for (int x = label.left(); x <= label.right(); ++x) {
        const int alpha = qAlpha(cover.pixel(x, y));
        const bool glyph = IsGlyph(skin.pixel(x, y));
        uncovered += (glyph && alpha == 0) ? 1 : 0;
        if (alpha >= 230) {
          ++solid;
          solidOnGlyph += glyph ? 1 : 0;
        }
      }
    SCOPED_TRACE(testing::Message() << "caption \"" << key.label.caption << "\" at " << scale << "x");
    ASSERT_GT(solid, 0);
    EXPECT_EQ(uncovered, 0);
    EXPECT_GE(solidOnGlyph * 100, solid * 95);
  }
}

TEST(KeyGlyphs, SitUnderTheHoverCaptions) {
  if (CaptionFamily().isEmpty()) GTEST_SKIP() << "no " << kCaptionFontFile;
  ExpectGlyphsUnderCaptions(Picture("skin.bmp"), 1);
}

TEST(KeyGlyphs, SitUnderTheHoverCaptionsAt2x) {
  if (CaptionFamily().isEmpty()) GTEST_SKIP() << "no " << kCaptionFontFile;
  ExpectGlyphsUnderCaptions(Picture("skin@2x.png"), 2);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
