// Checks the committed pictures under resources/ for what the window relies
// on: formats and sizes, the white holes that shape the window, and that the
// transparent labels of the control table land on the matching painted parts.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstdlib>
#include <queue>
#include <string>
#include <vector>

#include "IconFile.h"
#include "LayoutQt.h"
#include "SkinLayout.h"

namespace {

using quintora::PixelRect;
using quintora::layout::FindLabel;
using quintora::layout::kKeyLabels;
using quintora::layout::kOtherLabels;
using quintora::testing::IconFile;
using quintora::testing::ParseIconFile;
using quintora::testing::U16;
using quintora::testing::U32;
using skingen::layout::kHoles;
using skingen::layout::kLogo;

constexpr QRgb kWhite = 0xFFFFFFFFu;

QByteArray ReadResource(const char* name) {
  QFile file(QStringLiteral(QUINTORA_RESOURCES_DIR "/") + QLatin1String(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QImage LoadImage(const char* name) {
  return QImage::fromData(ReadResource(name)).convertToFormat(QImage::Format_RGB32);
}

const QImage& Skin() {
  static const QImage skin = LoadImage("skin.bmp");
  return skin;
}

// Labels of the window's control table, in pixels.
const QRect kReadout = PixelRect(FindLabel(kOtherLabels, "Readout").rect);
const QRect kMemoFlag = PixelRect(FindLabel(kOtherLabels, "lblMemoFlag").rect);
const QRect kMinimiseMark = PixelRect(FindLabel(kOtherLabels, "LbMin").rect);
const QRect kCloseMark = PixelRect(FindLabel(kOtherLabels, "LbCerrar").rect);
const QRect kLogoHotSpot = PixelRect(FindLabel(kOtherLabels, "LbTeskold").rect);

bool Near(QRgb c, int r, int g, int b, int tolerance) {
  return std::abs(qRed(c) - r) <= tolerance && std::abs(qGreen(c) - g) <= tolerance &&
         std::abs(qBlue(c) - b) <= tolerance;
}

bool IsKeyFace(QRgb c) { return Near(c, 0x0A, 0x44, 0x8C, 20); }

// Light blue: bright, with blue the strongest channel.
bool IsLightFace(QRgb c) {
  return qRed(c) >= 130 && qGreen(c) >= 170 && qBlue(c) >= 200 && qBlue(c) > qRed(c) + 20;
}

// Dark purple-blue: dark, blue well above green, red above green.
bool IsDisplay(QRgb c) {
  return qBlue(c) <= 150 && qBlue(c) >= qGreen(c) + 40 && qRed(c) > qGreen(c) && qRed(c) < 90;
}

template <typename Pred>
int CountIn(const QImage& img, const QRect& r, Pred pred) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += pred(img.pixel(x, y)) ? 1 : 0;
  return n;
}

// White pixels that cannot be reached from the picture's border through
// other white pixels: specks that would punch pinholes into the body.
int EnclosedWhitePixels(const QImage& img) {
  const int w = img.width();
  const int h = img.height();
  std::vector<char> seen(static_cast<size_t>(w * h), 0);
  std::queue<QPoint> todo;
  auto push = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    char& s = seen[static_cast<size_t>(y * w + x)];
    if (s || img.pixel(x, y) != kWhite) return;
    s = 1;
    todo.push({x, y});
  };
  for (int x = 0; x < w; ++x) push(x, 0), push(x, h - 1);
  for (int y = 0; y < h; ++y) push(0, y), push(w - 1, y);
  while (!todo.empty()) {
    const QPoint p = todo.front();
    todo.pop();
    push(p.x() + 1, p.y());
    push(p.x() - 1, p.y());
    push(p.x(), p.y() + 1);
    push(p.x(), p.y() - 1);
  }
  int enclosed = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      enclosed += (img.pixel(x, y) == kWhite && !seen[static_cast<size_t>(y * w + x)]) ? 1 : 0;
  return enclosed;
}

TEST(SkinPicture, IsAnUncompressed24BitBmpOf344By422) {
  const QByteArray b = ReadResource("skin.bmp");
  ASSERT_GE(b.size(), 54);
  EXPECT_EQ(b.left(2), QByteArray("BM"));
  EXPECT_EQ(U32(b, 2), static_cast<quint32>(b.size()));
  EXPECT_EQ(U32(b, 10), 54u);
  EXPECT_EQ(U32(b, 14), 40u);
  EXPECT_EQ(U32(b, 18), 344u);
  EXPECT_EQ(U32(b, 22), static_cast<quint32>(-422));  // negative: top-down rows
  EXPECT_EQ(U16(b, 26), 1);
  EXPECT_EQ(U16(b, 28), 24);
  EXPECT_EQ(U32(b, 30), 0u);  // BI_RGB
  EXPECT_EQ(b.size(), 54 + 344 * 3 * 422);
  EXPECT_EQ(Skin().size(), QSize(344, 422));
}

TEST(SkinPicture, HolesArePureWhiteAndTheBodyHasNoWhite) {
  const QImage& skin = Skin();
  ASSERT_FALSE(skin.isNull());
  for (const QRect& hole : kHoles)
    EXPECT_EQ(CountIn(skin, hole, [](QRgb c) { return c != kWhite; }), 0)
        << "non-white pixels in hole at " << hole.x() << "," << hole.y();

  EXPECT_EQ(EnclosedWhitePixels(skin), 0);
  // Areas well inside the outline: the main body, the raised part with the
  // tabs, and the part under the logo.
  for (const QRect& body : {QRect(QPoint(6, 64), QPoint(336, 362)), QRect(QPoint(262, 12), QPoint(305, 61)),
                            QRect(QPoint(16, 362), QPoint(194, 392)), QRect(QPoint(45, 392), QPoint(190, 414))})
    EXPECT_EQ(CountIn(skin, body, [](QRgb c) { return c == kWhite; }), 0)
        << "white inside the body near " << body.x() << "," << body.y();
}

// The middle of a label (a fifth trimmed off each side): the glyph covers
// part of it, the key face most of the rest.
bool MiddleIsMostlyKeyFace(const QImage& img, const QRect& label, int scale) {
  const QRect r(label.topLeft() * scale, label.size() * scale);
  const QRect middle = r.adjusted(r.width() / 5, r.height() / 5, -r.width() / 5, -r.height() / 5);
  return CountIn(img, middle, IsKeyFace) * 100 >= middle.width() * middle.height() * 40;
}

TEST(SkinPicture, KeyLabelsSitOnKeyFaces) {
  const QImage& skin = Skin();
  ASSERT_FALSE(skin.isNull());
  for (const auto& label : kKeyLabels)
    EXPECT_TRUE(MiddleIsMostlyKeyFace(skin, PixelRect(label.rect), 1)) << "label " << label.caption;
  // The frame is a different blue, so keys drawn over it would not pass.
  EXPECT_EQ(CountIn(skin, QRect(QPoint(3, 110), QPoint(11, 350)), IsKeyFace), 0);
  EXPECT_EQ(CountIn(skin, QRect(QPoint(332, 110), QPoint(340, 350)), IsKeyFace), 0);
}

TEST(SkinPicture, ReadoutMemoryFlagAndTitleMarksHaveTheirBackgrounds) {
  const QImage& skin = Skin();
  ASSERT_FALSE(skin.isNull());
  const int readoutArea = kReadout.width() * kReadout.height();
  EXPECT_EQ(CountIn(skin, kReadout, IsDisplay), readoutArea);
  // The indicator's navy "M" needs the light face under it.
  EXPECT_EQ(CountIn(skin, kMemoFlag, IsLightFace), kMemoFlag.width() * kMemoFlag.height());
  // The blue "--" and the dark red "X" need the light tabs under them.
  auto light = [](QRgb c) { return qRed(c) >= 150 && qGreen(c) >= 150 && qBlue(c) >= 150; };
  for (const QRect& mark : {kMinimiseMark, kCloseMark}) {
    const QRect inner = mark.adjusted(2, 2, -2, -2);
    EXPECT_EQ(CountIn(skin, inner, light), inner.width() * inner.height())
        << "mark at " << mark.x() << "," << mark.y();
  }
}

TEST(SkinPicture, LogoIsGreyLettersUnderItsHotSpot) {
  const QImage& skin = Skin();
  ASSERT_FALSE(skin.isNull());
  auto grey = [](QRgb c) {
    return c != kWhite && qGreen(c) >= 120 && std::abs(qRed(c) - qGreen(c)) <= 16 &&
           std::abs(qBlue(c) - qGreen(c)) <= 16;
  };
  const int inLetters = CountIn(skin, kLogo.adjusted(-3, -3, 3, 3), grey);
  EXPECT_GE(inLetters, 600);
  EXPECT_EQ(CountIn(skin, kLogoHotSpot, grey), inLetters);
  EXPECT_EQ(CountIn(skin, kLogo, [](QRgb c) { return c == kWhite; }), 0);
}

TEST(SkinPicture2x, IsTwiceTheSizeWithExactlyDoubledHoles) {
  const QImage big = LoadImage("skin@2x.png");
  const QImage& skin = Skin();
  ASSERT_EQ(big.size(), QSize(688, 844));
  EXPECT_EQ(ReadResource("skin@2x.png").left(8), QByteArray("\x89PNG\r\n\x1a\n"));
  int mismatches = 0;
  for (int y = 0; y < big.height(); ++y)
    for (int x = 0; x < big.width(); ++x)
      mismatches += ((big.pixel(x, y) == kWhite) != (skin.pixel(x / 2, y / 2) == kWhite)) ? 1 : 0;
  EXPECT_EQ(mismatches, 0);
  // Same drawing: the keys are where they are at 1x.
  for (const auto& label : kKeyLabels)
    EXPECT_TRUE(MiddleIsMostlyKeyFace(big, PixelRect(label.rect), 2)) << "label " << label.caption;
}

TEST(WindowIcon, Is32By32In16Colours) {
  const IconFile ico = ParseIconFile(ReadResource("quintora.ico"));
  EXPECT_EQ(ico.type, 1);
  ASSERT_EQ(ico.entries.size(), 1u);
  const auto& e = ico.entries[0];
  EXPECT_EQ(e.width, 32);
  EXPECT_EQ(e.height, 32);
  EXPECT_EQ(e.colourCount, 16);
  EXPECT_EQ(e.field6, 4);
  EXPECT_EQ(e.dibBitCount, 4);
  EXPECT_EQ(e.dibCompression, 0);
  EXPECT_EQ(e.dibHeight, 64);
  EXPECT_EQ(e.paletteEntries, 16);
  // Navy body, white display at the top, grey keys lower down, and
  // transparent corners.
  const QImage& img = e.image;
  EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(img.pixel(31, 0)), 0);
  EXPECT_EQ(img.pixel(6, 20), 0xFF000080u);
  EXPECT_EQ(img.pixel(12, 7), 0xFFFFFFFFu);
  int greyKeys = 0;
  for (int y = 12; y < 28; ++y)
    for (int x = 8; x < 23; ++x) greyKeys += img.pixel(x, y) == 0xFFC0C0C0u ? 1 : 0;
  EXPECT_GE(greyKeys, 16);
}

TEST(WindowIcon, PngSizesMatchTheirNames) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string name = "icons/quintora-" + std::to_string(size) + ".png";
    const QImage img = QImage::fromData(ReadResource(name.c_str()), "PNG");
    ASSERT_FALSE(img.isNull()) << name;
    EXPECT_EQ(img.size(), QSize(size, size)) << name;
    EXPECT_TRUE(img.hasAlphaChannel()) << name;
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << name;
    // The navy body fills the middle.
    const QRgb mid = img.pixel(size * 13 / 64, size * 5 / 8);
    EXPECT_GT(qBlue(mid), qRed(mid) + 50) << name;
  }
}

TEST(HandPointer, Is32By32In16ColoursWithHotSpotOnTheFingerTip) {
  const IconFile cur = ParseIconFile(ReadResource("hand.cur"));
  EXPECT_EQ(cur.type, 2);
  ASSERT_EQ(cur.entries.size(), 2u);
  const auto& e = cur.entries[0];
  EXPECT_EQ(e.width, 32);
  EXPECT_EQ(e.height, 32);
  EXPECT_EQ(e.colourCount, 16);
  EXPECT_EQ(e.dibBitCount, 4);
  EXPECT_EQ(e.paletteEntries, 16);
  EXPECT_EQ(e.field4, 12);
  EXPECT_EQ(e.field6, 1);
  const QImage& img = e.image;
  // White tip under the hot spot, black outline just above it, clear beside.
  EXPECT_EQ(img.pixel(12, 1), 0xFFFFFFFFu);
  EXPECT_EQ(img.pixel(12, 0), 0xFF000000u);
  EXPECT_EQ(qAlpha(img.pixel(6, 1)), 0);
  int blue = 0;
  for (int y = 16; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const QRgb c = img.pixel(x, y);
      blue += (qAlpha(c) && qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 40) ? 1 : 0;
    }
  EXPECT_GE(blue, 20) << "blue cuff";

  // For a device pixel ratio of 2: every pixel doubled, hot spot with it.
  const auto& big = cur.entries[1];
  ASSERT_EQ(big.image.size(), QSize(64, 64));
  EXPECT_EQ(big.dibBitCount, 4);
  EXPECT_EQ(std::pair(big.field4, big.field6), std::pair(24, 2));
  EXPECT_EQ(big.image.scaled(32, 32), img);
}

TEST(BackArrow, Holds8And32BitImagesWithoutPureWhite) {
  const IconFile ico = ParseIconFile(ReadResource("back-arrow.ico"));
  EXPECT_EQ(ico.type, 1);
  ASSERT_EQ(ico.entries.size(), 3u);
  std::vector<std::pair<int, int>> kinds;  // size and depth
  for (const auto& e : ico.entries) {
    const int size = e.width;
    EXPECT_EQ(e.height, size);
    EXPECT_EQ(e.dibBitCount, e.field6);
    kinds.emplace_back(size, e.dibBitCount);
    int green = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const QRgb c = e.image.pixel(x, y);
        if (!qAlpha(c)) continue;
        EXPECT_NE(c | 0xFF000000u, kWhite) << e.dibBitCount << " bpp at " << x << "," << y;
        green += (qGreen(c) > qRed(c) + 30 && qGreen(c) > qBlue(c) + 30) ? 1 : 0;
      }
    EXPECT_GE(green, 30 * size / 16) << e.dibBitCount << " bpp";
    // Pointing back: more of the arrow on the left at its head's height.
    EXPECT_GT(qAlpha(e.image.pixel(2 * size / 16, 5 * size / 16)), 0) << e.dibBitCount << " bpp";
  }
  std::sort(kinds.begin(), kinds.end());
  EXPECT_EQ(kinds, (std::vector<std::pair<int, int>>{{16, 8}, {16, 32}, {32, 32}}));
}

}  // namespace
