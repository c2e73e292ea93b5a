// The Qt platform on the offscreen platform plugin: the region it gives the
// window, what the window draws, and that unchanged settings cost no work.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWindow>

#include "BMPregionInXP.h"
#include "QtShapePlatform.h"
#include "TestPictures.h"

namespace quintora {
namespace {

using test::SmallSkin;

// Counts the events that would show as work on screen.
class EventCounter : public QObject {
public:
  explicit EventCounter(QWidget* watched) { watched->installEventFilter(this); }
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    const auto type = event->type();
    count += type == QEvent::Paint || type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show ||
             type == QEvent::Hide;
    return false;
  }
};

class QtShapePlatformTest : public ::testing::Test {
protected:
  void SetUp() override {
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.resize(200, 200);
    box.resize(70, 50);  // 10 pixels of background right of and below the picture
    box.setPicture(SmallSkin::Make());
    region.Window(&window);
    region.BMPicture(&box);
    region.Transparencycolor(0xFFFFFF);
    region.Create();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  QWidget window;
  PictureBox box;
  BMPregionInXP region{MakeQtShapePlatform()};
};

TEST_F(QtShapePlatformTest, KeyPixelsBecomeHolesAndEveryOtherPixelStays) {
  // Only pure white goes, #FEFFFF stays; the background strip is key colour.
  EXPECT_EQ(window.mask(), QRegion(0, 0, 60, 40) - QRegion(SmallSkin::kWhite));

  box.setPicture(SmallSkin::Make(QColor(0xFF, 0, 0)));
  region.Transparencycolor(0x0000FF);  // red, in the low byte
  region.Create();
  EXPECT_EQ(window.mask(), QRegion(SmallSkin::kWhite) + QRegion(SmallSkin::kNearWhite));
  // The same picture in 24 bits a pixel, the form the skin is held in.
  box.setPicture(SmallSkin::Make(QColor(0xFF, 0, 0)).convertToFormat(QImage::Format_BGR888));
  region.Create();
  EXPECT_EQ(window.mask(), QRegion(SmallSkin::kWhite) + QRegion(SmallSkin::kNearWhite));

  box.setPicture(QImage());  // nothing but the key-coloured background
  region.Create();
  EXPECT_FALSE(window.mask().isEmpty());  // an empty mask would show everything
  EXPECT_FALSE(window.mask().intersects(window.rect()));
}

TEST_F(QtShapePlatformTest, WindowDrawsPictureAtTopLeftAndKeyColourElsewhere) {
  region.Transparencycolor(0x00FF00);
  region.Create();
  const QImage drawn = window.grab().toImage();
  EXPECT_EQ(drawn.size(), QSize(70, 50));
  EXPECT_EQ(drawn.pixel(0, 0), qRgb(0x80, 0x80, 0x80));
  EXPECT_EQ(drawn.pixel(SmallSkin::kNearWhite.center()), qRgb(0xFE, 0xFF, 0xFF));
  EXPECT_EQ(drawn.pixel(65, 45), qRgb(0, 0xFF, 0));
}

TEST_F(QtShapePlatformTest, UnchangedSettingsLeaveTheWindowAlone) {
  region.AlfaTransP(40);
  region.Create();
  region.TopMost(-1);
  QTest::qWait(50);
  const QRegion mask = window.mask();
  const WId id = window.winId();
  EventCounter counter(&window);

  region.Create();
  region.TopMost(-1);
  QTest::qWait(50);

  EXPECT_EQ(counter.count, 0);
  EXPECT_EQ(window.mask(), mask);
  EXPECT_EQ(window.winId(), id);  // the topmost switch did not re-create it
  EXPECT_DOUBLE_EQ(window.windowHandle()->opacity(), 102 / 255.0);
}

TEST_F(QtShapePlatformTest, CachedRegionsFollowKeyChanges) {
  const QRegion whiteKey = window.mask();
  region.Transparencycolor(0x808080);
  region.Create();
  EXPECT_EQ(window.mask(), QRegion(SmallSkin::kWhite) + QRegion(SmallSkin::kNearWhite));
  region.Transparencycolor(0xFFFFFF);
  region.Create();
  EXPECT_EQ(window.mask(), whiteKey);
}

TEST_F(QtShapePlatformTest, ResetMakesTheWindowWholeAndOpaque) {
  region.AlfaTransP(40);
  region.Create();
  region.Reset();
  EXPECT_TRUE(window.mask().isEmpty());
  EXPECT_DOUBLE_EQ(window.windowHandle()->opacity(), 1.0);
  // Without the layered style the colour key has no effect.
  MakeQtShapePlatform()->SetLayeredAttributes(&window, 0x808080, 255);
  EXPECT_TRUE(window.mask().isEmpty());
}

TEST_F(QtShapePlatformTest, ProgramIsActiveWhileOneOfItsWindowsIs) {
  auto platform = MakeQtShapePlatform();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(platform->IsProgramActive());
  window.hide();
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }));
  EXPECT_FALSE(platform->IsProgramActive());
}

// The Wayland roles on the offscreen platform: the window paints its holes
// and its opacity itself. Every pixel is checked against what the test
// picture and the opacity make of it; the window is drawn without its mask,
// as a compositor that takes the mask for input only shows it, and with a
// child lying in a hole, as the calculator's hidden buttons do.
TEST(WaylandRoles, HolesAreClearAndTheRestTakesTheOpacity) {
  QWidget window;
  window.setWindowFlag(Qt::FramelessWindowHint);
  PictureBox box;
  box.resize(70, 50);  // 10 pixels of key-coloured background right of and below the picture
  box.setPicture(SmallSkin::Make());
  QWidget inHole(&window);
  inHole.setGeometry(SmallSkin::kWhite.adjusted(2, 2, -2, -2));
  inHole.setAutoFillBackground(true);
  BMPregionInXP region(MakeQtShapePlatform(WindowSystem::Wayland));
  region.Window(&window);
  region.BMPicture(&box);
  region.Transparencycolor(0xFFFFFF);
  for (const int percent : {100, 40, 100}) {
    region.AlfaTransP(std::int16_t(percent));
    region.Create();
    ASSERT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    QImage drawn(window.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    window.render(&drawn, {}, {}, QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
    const QImage picture = SmallSkin::Make();
    const int alpha = percent * 255 / 100;
    int wrong = 0;
    for (int y = 0; y < drawn.height(); ++y)
      for (int x = 0; x < drawn.width(); ++x) {
        const bool hole = !picture.rect().contains(x, y) || SmallSkin::kWhite.contains(x, y);
        const QColor got = QColor::fromRgba(qUnpremultiply(drawn.pixel(x, y)));
        const QColor want = hole ? QColor(Qt::transparent) : QColor(picture.pixel(x, y));
        const bool right = hole ? got.alpha() == 0
                                : std::abs(got.alpha() - alpha) <= 1 && std::abs(got.red() - want.red()) <= 3 &&
                                      std::abs(got.green() - want.green()) <= 3 &&
                                      std::abs(got.blue() - want.blue()) <= 3;
        if (!right && ++wrong <= 3)
          ADD_FAILURE() << percent << " %, pixel " << x << "," << y << ": got " << qPrintable(got.name(QColor::HexArgb));
      }
    EXPECT_EQ(wrong, 0) << percent << " %";
  }
}

// Run with QT_SCALE_FACTOR=2 (ctest shape.hidpi): the window draws the
// high-resolution picture while its region stays in logical pixels.
TEST(HiDpi, WindowDrawsHighResolutionPictureAndKeepsLogicalRegion) {
  QWidget window;
  PictureBox box;
  QImage highRes(SmallSkin::kSize * 2, QImage::Format_RGB32);
  highRes.fill(QColor(0, 0, 0x80));  // told apart from the normal one by colour
  box.resize(SmallSkin::kSize);
  box.setPicture(SmallSkin::Make(), highRes);
  BMPregionInXP region(MakeQtShapePlatform());
  region.Window(&window);
  region.BMPicture(&box);
  region.Transparencycolor(0xFFFFFF);
  region.Create();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  if (window.devicePixelRatio() <= 1.0) GTEST_SKIP() << "needs a device pixel ratio above 1";

  EXPECT_EQ(window.mask(), QRegion(QRect(QPoint(), SmallSkin::kSize)) - QRegion(SmallSkin::kWhite));
  const QImage drawn = window.grab().toImage();
  EXPECT_EQ(drawn.size(), SmallSkin::kSize * 2);
  EXPECT_EQ(drawn.pixel(1, 1), qRgb(0, 0, 0x80));
}

}  // namespace
}  // namespace quintora
