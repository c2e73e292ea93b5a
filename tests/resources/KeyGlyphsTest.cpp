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

namespace {

constexpr char kCaptionFontFile[] = "/usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf";

struct Caption {
  const char* text;
  QRect rect;  // the label: left, top, width, height
  int pixelSize;
  bool alignLeft;
  QRect key;  // the painted key face under it, inclusive corners
};

constexpr int kCol[6][2] = {{26, 61}, {76, 112}, {126, 162}, {183, 219}, {233, 268}, {280, 316}};
constexpr int kRow[4][2] = {{176, 203}, {219, 247}, {262, 290}, {302, 331}};
QRect Key(int row, int col) {
  return QRect(QPoint(kCol[col][0], kRow[row][0]), QPoint(kCol[col][1], kRow[row][1]));
}

// Key labels of the control table with their captions. The labels reach
// past their keys onto the light face, so glyphs are looked for on the keys.
const Caption kCaptions[] = {
    {"7", {31, 175, 31, 26}, 21, false, Key(0, 0)},
    {"8", {81, 175, 31, 26}, 21, false, Key(0, 1)},
    {"9", {131, 175, 31, 26}, 21, false, Key(0, 2)},
    {"C", {184, 175, 33, 28}, 21, false, Key(0, 3)},
    {"CE", {235, 175, 33, 28}, 21, false, Key(0, 4)},
    {"M+", {284, 176, 30, 30}, 21, true, Key(0, 5)},
    {"4", {31, 219, 31, 26}, 21, false, Key(1, 0)},
    {"5", {81, 219, 31, 26}, 21, false, Key(1, 1)},
    {"6", {131, 219, 31, 26}, 21, false, Key(1, 2)},
    {"+", {188, 208, 29, 31}, 32, false, Key(1, 3)},
    {"-", {236, 207, 29, 32}, 32, false, Key(1, 4)},
    {"M-", {283, 218, 30, 30}, 21, true, Key(1, 5)},
    {"1", {29, 262, 31, 26}, 21, false, Key(2, 0)},
    {"2", {81, 262, 31, 26}, 21, false, Key(2, 1)},
    {"3", {131, 262, 31, 26}, 21, false, Key(2, 2)},
    {"X", {187, 264, 29, 28}, 19, false, Key(2, 3)},
    {"/", {236, 262, 29, 32}, 21, false, Key(2, 4)},
    {"MR", {283, 262, 30, 30}, 21, true, Key(2, 5)},
    {"0", {35, 303, 76, 26}, 21, false, QRect(QPoint(26, 302), QPoint(112, 331))},
    {".", {131, 300, 30, 30}, 21, false, Key(3, 2)},
    {"=", {189, 301, 77, 32}, 24, false, QRect(QPoint(184, 302), QPoint(270, 331))},
    {"MC", {284, 303, 30, 30}, 21, true, Key(3, 5)},
};

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

// The caption's coverage (alpha) as the label draws it on a picture `scale`
// times the skin size.
QImage CaptionCoverage(const Caption& caption, int scale) {
  QImage img(344 * scale, 422 * scale, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  img.setDevicePixelRatio(scale);
  QPainter p(&img);
  QFont font(CaptionFamily());
  font.setPixelSize(caption.pixelSize);
  p.setFont(font);
  p.setPen(Qt::black);
  p.setClipRect(caption.rect);
  p.drawText(caption.rect, (caption.alignLeft ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop,
             QString::fromLatin1(caption.text));
  p.end();
  img.setDevicePixelRatio(1);
  return img;
}

// Glyph pixels: light in every channel (the key face and its shadows are
// darker blues).
bool IsGlyph(QRgb c) { return qRed(c) >= 160 && qGreen(c) >= 160 && qBlue(c) >= 160; }

void ExpectGlyphsUnderCaptions(const QImage& skin, int scale) {
  ASSERT_EQ(skin.size(), QSize(344 * scale, 422 * scale));
  for (const Caption& caption : kCaptions) {
    const QImage cover = CaptionCoverage(caption, scale);
    // The part of the label over its key, clear of the key's rounded rim.
    const QRect inner = caption.rect.intersected(caption.key.adjusted(2, 2, -2, -2));
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
    SCOPED_TRACE(testing::Message() << "caption \"" << caption.text << "\" at " << scale << "x");
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
