// The steps of the shaped-window object, observed through a recording
// platform and the window's own size and background.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "BMPregionInXP.h"
#include "RecordingPlatform.h"
#include "TestPictures.h"

namespace quintora {
namespace {

using Roles = std::vector<std::string>;
constexpr std::uint32_t kLayered = ShapePlatform::kLayeredStyle;

QRgb ButtonFace() { return ColourFromRef(kButtonFaceColour).rgb(); }

class BMPregionInXPTest : public ::testing::Test {
protected:
  void SetUp() override {
    window.resize(348, 602);  // 5220 x 9030 twips
    box.resize(353, 428);
    box.setBorderWidth(2);  // inner 349 x 424
    box.setPicture(test::SmallSkin::Make());
    region.Window(&window);
    region.BMPicture(&box);
  }

  // The opacity byte the next Create passes on.
  int AlphaOfCreate() {
    platform->calls.clear();
    region.Create();
    return platform->calls.back().alpha;
  }

  QWidget window;
  PictureBox box;
  std::shared_ptr<test::RecordingPlatform> platform = std::make_shared<test::RecordingPlatform>();
  BMPregionInXP region{platform};
};

TEST_F(BMPregionInXPTest, StartsWithKeyColour8000FFAndOpacity210) {
  region.Transparencycolor(0xFFFFFF);  // setting alone changes nothing
  EXPECT_TRUE(platform->calls.empty());
  EXPECT_EQ(window.size(), QSize(348, 602));

  BMPregionInXP fresh(platform);
  fresh.Window(&window);
  fresh.BMPicture(&box);
  fresh.Create();
  EXPECT_EQ(platform->calls.back().argument, 0x8000FFu);
  EXPECT_EQ(platform->calls.back().alpha, 210);
}

TEST_F(BMPregionInXPTest, AlfaTransPTurnsPercentIntoOpacityByte) {
  const std::pair<std::int16_t, int> table[] = {{100, 255}, {99, 252}, {50, 127}, {40, 102},
                                                {1, 2},     {0, 0},    {101, 255}, {32767, 255}};
  for (const auto& [percent, alpha] : table) {
    region.AlfaTransP(percent);
    EXPECT_EQ(AlphaOfCreate(), alpha) << "percent " << percent;
  }
  for (std::int16_t percent : {-1, -128, -129, -32768}) {
    EXPECT_THROW(region.AlfaTransP(percent), std::overflow_error) << "percent " << percent;
    EXPECT_EQ(AlphaOfCreate(), 255) << "percent " << percent;
  }
}

TEST_F(BMPregionInXPTest, CreateSkinsTheWindowBeforeMakingItLayered) {
  platform->style = 0x8;  // an unrelated bit that must survive
  region.Transparencycolor(0x8040C0);
  region.AlfaTransP(40);
  region.Create();

  ASSERT_EQ(platform->Roles(), (Roles{"ExtendedStyle", "SetExtendedStyle", "SetLayeredAttributes"}));
  // Size, picture and background colour are in place when the style is read.
  const auto& read = platform->calls[0];
  EXPECT_EQ(read.windowSize, QSize(349, 424));
  EXPECT_TRUE(read.hasPicture);
  EXPECT_EQ(read.background, qRgb(0xC0, 0x40, 0x80));  // red in the low byte
  EXPECT_EQ(platform->calls[1].argument, 0x8u | kLayered);
  EXPECT_EQ(platform->calls[2].argument, 0x8040C0u);
  EXPECT_EQ(platform->calls[2].alpha, 102);
  EXPECT_TRUE(BackgroundOf(&window).picture == box.picture());
}

TEST_F(BMPregionInXPTest, ResetUndoesCreateInOrder) {
  platform->style = 0x8;
  region.Transparencycolor(0xFFFFFF);
  region.Create();
  platform->calls.clear();

  region.Reset();

  ASSERT_EQ(platform->Roles(), (Roles{"ExtendedStyle", "SetExtendedStyle", "RedrawWindow"}));
  EXPECT_EQ(platform->calls[1].argument, 0x8u);
  // The redraw comes before colour, size and picture go back.
  const auto& redraw = platform->calls[2];
  EXPECT_EQ(redraw.background, qRgb(255, 255, 255));
  EXPECT_EQ(redraw.windowSize, QSize(349, 424));
  EXPECT_TRUE(redraw.hasPicture);

  EXPECT_EQ(window.size(), QSize(348, 602));  // SavedSize "5220;9030"
  EXPECT_EQ(BackgroundOf(&window).colour.rgb(), ButtonFace());
  EXPECT_TRUE(BackgroundOf(&window).picture.isNull());

  region.Reset();
  EXPECT_EQ(platform->style, 0x8u) << "a second Reset leaves the cleared bit cleared";
}

TEST_F(BMPregionInXPTest, SecondCreateRecordsTheSkinnedSize) {
  region.Create();
  region.Create();
  region.Reset();
  EXPECT_EQ(window.size(), QSize(349, 424));
}

TEST_F(BMPregionInXPTest, CreateOnMinimisedWindowDoesNothing) {
  window.setWindowState(Qt::WindowMinimized);
  region.Create();
  EXPECT_TRUE(platform->calls.empty());
  EXPECT_EQ(window.size(), QSize(348, 602));
  EXPECT_TRUE(BackgroundOf(&window).picture.isNull());
  // No size was recorded either.
  EXPECT_THROW(region.Reset(), std::out_of_range);
}

TEST_F(BMPregionInXPTest, ResetBeforeCreateFailsAfterItsFourthStep) {
  const Picture earlier(test::SmallSkin::Make());
  SetBackgroundPicture(&window, earlier);
  platform->style = kLayered | 0x8;

  EXPECT_THROW(region.Reset(), std::out_of_range);

  EXPECT_EQ(platform->Roles(), (Roles{"ExtendedStyle", "SetExtendedStyle", "RedrawWindow"}));
  EXPECT_EQ(platform->style, 0x8u);
  EXPECT_EQ(BackgroundOf(&window).colour.rgb(), ButtonFace());
  EXPECT_EQ(window.size(), QSize(348, 602));
  EXPECT_TRUE(BackgroundOf(&window).picture == earlier);
}

// Sizes in twips that fall between pixels go to the nearest one.
TEST(FormWindow, TwipsRoundToTheNearestPixel) {
  QWidget window;
  SetWindowWidthTwips(&window, 5227);   // 348.47 pixels
  SetWindowHeightTwips(&window, 5233);  // 348.87 pixels
  EXPECT_EQ(window.size(), QSize(348, 349));
  EXPECT_EQ(WindowWidthTwips(&window), 5220);
}

TEST_F(BMPregionInXPTest, TopMostIsOnOnlyForMinusOne) {
  for (const auto& [activate, topMost] : {std::pair<std::int16_t, bool>{-1, true}, {0, false}, {1, false}}) {
    platform->calls.clear();
    region.TopMost(activate);
    ASSERT_EQ(platform->Roles(), Roles{"SetTopMost"});
    EXPECT_EQ(platform->calls[0].argument, topMost ? 1u : 0u) << "Activate " << activate;
  }
}

// With a platform that counts its changes, the timer's Create and TopMost
// cost nothing while nothing changes, and run in full once anything they
// read does.
class UnchangedSetUpTest : public BMPregionInXPTest {
protected:
  void SetUp() override {
    BMPregionInXPTest::SetUp();
    platform->counting = true;
    // A few ticks of the timer settle it; the second records the skinned size.
    for (int tick = 0; tick < 3; ++tick) {
      region.Create();
      region.TopMost(-1);
    }
    platform->calls.clear();
  }

  bool CreateRan() {
    platform->calls.clear();
    region.Create();
    return !platform->calls.empty();
  }
};

TEST_F(UnchangedSetUpTest, NothingChangedNothingDone) {
  region.Create();
  region.TopMost(-1);
  EXPECT_TRUE(platform->calls.empty());
  region.Reset();
  EXPECT_EQ(window.size(), QSize(349, 424)) << "the skinned size was recorded before the skipping began";
}

TEST_F(UnchangedSetUpTest, CreateRunsAgainAfterAnyChangeItReads) {
  region.AlfaTransP(40);
  EXPECT_TRUE(CreateRan()) << "opacity";
  region.Transparencycolor(0x00FF00);
  EXPECT_TRUE(CreateRan()) << "key colour";
  window.setFixedSize(100, 100);
  EXPECT_TRUE(CreateRan()) << "window size";
  EXPECT_EQ(window.size(), QSize(349, 424));
  EXPECT_TRUE(CreateRan()) << "the size recorded by the last run is out of date";
  box.setPicture(test::SmallSkin::Make(Qt::red));
  EXPECT_TRUE(CreateRan()) << "picture";
  EXPECT_TRUE(BackgroundOf(&window).picture == box.picture());
  box.setBorderWidth(0);
  EXPECT_TRUE(CreateRan()) << "picture box size";
  SetBackgroundColour(&window, Qt::blue);
  EXPECT_TRUE(CreateRan()) << "background colour set from outside";
  platform->SetExtendedStyle(&window, 0);
  EXPECT_TRUE(CreateRan()) << "style dropped from outside";
  EXPECT_EQ(platform->style, kLayered);
  EXPECT_FALSE(CreateRan());
}

TEST_F(UnchangedSetUpTest, ResetAndAnotherWindowAreSetUpAfresh) {
  region.Reset();
  EXPECT_TRUE(CreateRan());
  EXPECT_EQ(platform->style, kLayered);

  QWidget other;
  region.Window(&other);
  EXPECT_TRUE(CreateRan());
  EXPECT_EQ(other.size(), box.innerSize());
  platform->calls.clear();
  region.TopMost(-1);
  EXPECT_EQ(platform->Roles(), Roles{"SetTopMost"});
}

TEST_F(UnchangedSetUpTest, AWindowInTheStorageOfADeletedOneIsPutOnTopAnew) {
  std::optional<QWidget> first(std::in_place);
  QWidget* const address = &*first;
  region.Window(address);
  region.TopMost(-1);
  region.Window(&window);
  first.emplace();  // a new window where the old one was
  ASSERT_EQ(&*first, address);
  region.Window(address);
  platform->calls.clear();
  region.TopMost(-1);
  EXPECT_EQ(platform->Roles(), Roles{"SetTopMost"});
}

TEST_F(UnchangedSetUpTest, TopMostSwitchesBandsAtOnce) {
  region.TopMost(0);
  region.TopMost(-1);
  EXPECT_EQ(platform->Roles(), (Roles{"SetTopMost", "SetTopMost"}));
  EXPECT_EQ(platform->topMost, true);
}

}  // namespace
}  // namespace quintora
