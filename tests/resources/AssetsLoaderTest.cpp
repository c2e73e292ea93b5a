// The embedded copies: the loader must find them in the executable (the
// static library's resources are registered without any init call) and they
// must be the committed files.

#include <gtest/gtest.h>

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include "Assets.h"
#include "HandCursor.h"

namespace {

namespace assets = quintora::assets;

QImage Committed(const char* name) {
  return QImage(QStringLiteral(QUINTORA_RESOURCES_DIR "/") + QLatin1String(name))
      .convertToFormat(QImage::Format_RGB32);
}

TEST(EmbeddedAssets, SkinPicturesAreTheCommittedFiles) {
  const QImage skin = assets::SkinPicture();
  ASSERT_EQ(skin.size(), QSize(344, 422));
  EXPECT_EQ(skin.convertToFormat(QImage::Format_RGB32), Committed("skin.bmp"));

  QImage big = assets::SkinPicture2x();
  ASSERT_EQ(big.size(), QSize(688, 844));
  EXPECT_DOUBLE_EQ(big.devicePixelRatio(), 2.0);
  EXPECT_EQ(big.deviceIndependentSize(), QSizeF(344, 422));
  big.setDevicePixelRatio(1.0);
  EXPECT_EQ(big, Committed("skin@2x.png"));
}

TEST(EmbeddedAssets, IconCursorAndArrowLoad) {
  const QIcon icon = assets::WindowIcon();
  ASSERT_FALSE(icon.isNull());
  for (int size : {16, 32, 48, 64})
    EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
  EXPECT_EQ(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));

  const QCursor hand = assets::HandCursor();
  EXPECT_EQ(quintora::test::HandCursorMismatch(hand, 1.0), QString());
  const QImage handImage = hand.pixmap().toImage();
  EXPECT_EQ(qAlpha(handImage.pixel(0, 0)), 0);
  EXPECT_EQ(handImage.pixel(12, 1) | 0xFF000000u, 0xFFFFFFFFu);

  const QImage arrow = assets::BackArrow().toImage();
  ASSERT_EQ(arrow.size(), QSize(16, 16));
  EXPECT_TRUE(arrow.hasAlphaChannel());
  // The 32-bit image is the one chosen: its edges are partly transparent.
  bool partial = false;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int a = qAlpha(arrow.pixel(x, y));
      partial = partial || (a > 0 && a < 255);
    }
  EXPECT_TRUE(partial);

  // For a device pixel ratio of 2: the same logical size and hot spot, twice the pixels.
  EXPECT_EQ(quintora::test::HandCursorMismatch(assets::HandCursor(2.0), 2.0), QString());
  const QPixmap bigArrow = assets::BackArrow(2.0);
  EXPECT_EQ(bigArrow.size(), QSize(32, 32));
  EXPECT_EQ(bigArrow.devicePixelRatio(), 2.0);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
