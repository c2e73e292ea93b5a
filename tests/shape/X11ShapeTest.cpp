// The shaped window on a real X server, driven as a user would drive it:
// clicks and drags through XTEST (xdotool), window properties as the window
// system sees them (xprop, xwininfo). Run under tests/x11/with-x.sh, with or
// without a window manager; tests that need one, or its absence, skip.
#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

#include "BMPregionInXP.h"
#include "PictureBox.h"
#include "QtShapePlatform.h"
#include "TestPictures.h"

namespace quintora {
namespace {

using test::SmallSkin;

// Generous limits for a server and window manager that share two busy cores;
// they only bound how long a poll may wait.
constexpr int kSlowServerMs = 20000;

QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(10000)) {
    process.kill();
    process.waitForFinished();
  }
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void Xdotool(const QStringList& arguments) { RunTool("xdotool", arguments); }

void MovePointer(QPoint global) {
  Xdotool({"mousemove", QString::number(global.x()), QString::number(global.y())});
}

QString Property(WId window, const char* name) {
  return RunTool("xprop", {"-id", QString::number(window), name}).trimmed();
}

// The number of requests the program sends to the X server while running
// the given code.
int RequestsSentBy(const std::function<void()>& code) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11->connection();
  const unsigned before = xcb_no_operation(connection).sequence;
  code();
  const unsigned after = xcb_no_operation(connection).sequence;
  xcb_flush(connection);
  return int(after - before) - 1;
}

bool WindowManagerRunning() {
  return RunTool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
}

// The window as the X server has it: absolute position, size, mapped state.
struct ServerGeometry {
  QRect rect;
  bool viewable = false;
  friend bool operator==(const ServerGeometry&, const ServerGeometry&) = default;
};

ServerGeometry GeometryOf(WId window) {
  const QString info = RunTool("xwininfo", {"-id", QString::number(window)});
  auto field = [&](const char* label) {
    const QRegularExpression pattern(QString("%1:\\s*(-?\\d+)").arg(label));
    return pattern.match(info).captured(1).toInt();
  };
  ServerGeometry geometry;
  geometry.rect = QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                        field("Height"));
  geometry.viewable = info.contains("IsViewable");
  return geometry;
}

// Polls until the condition holds. With processEvents false the program's
// own event loop stays idle, so only what was already sent to the server
// can make the condition true.
bool Eventually(const std::function<bool()>& condition, bool processEvents = true, int timeoutMs = 10000) {
  QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (deadline.hasExpired()) return false;
    if (processEvents) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(20);
  }
}

// Openbox announces itself on the root window before it is ready to manage
// new windows, and a window mapped in between may stay unmapped for good.
// Before the tests, probe windows are mapped until one gets managed.
class WindowManagerReady : public ::testing::Environment {
public:
  void SetUp() override {
    if (!WindowManagerRunning()) return;
    for (int attempt = 0; attempt < 10; ++attempt) {
      QWidget probe;
      probe.setGeometry(0, 0, 20, 20);
      probe.show();
      if (QTest::qWaitForWindowExposed(&probe, 3000) &&
          Eventually([&] { return Property(probe.winId(), "_NET_FRAME_EXTENTS").contains("="); }, true, 3000))
        return;
    }
    FAIL() << "the window manager never managed a window";
  }
};

const auto* const kWindowManagerReady = ::testing::AddGlobalTestEnvironment(new WindowManagerReady);

// Counts presses and paints of a window; optionally reacts to a left press
// as the calculator does on its body.
class WindowEvents : public QObject {
public:
  explicit WindowEvents(QWidget* window) { window->installEventFilter(this); }
  int presses = 0;
  int paints = 0;
  std::function<void()> onLeftPress;

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    if (event->type() == QEvent::MouseButtonPress) {
      ++presses;
      if (onLeftPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) onLeftPress();
    }
    return false;
  }
};

// A plain window with the skinned test window lying over it.
class X11Shape : public ::testing::Test {
protected:
  static constexpr QPoint kBody{40, 35};  // a grey pixel of the skin

  void SetUp() override {
    behind.setWindowFlag(Qt::FramelessWindowHint);
    behind.setGeometry(100, 100, 300, 200);
    behind.setAutoFillBackground(true);
    QPalette green = behind.palette();
    green.setColor(QPalette::Window, QColor(0, 0x60, 0));
    behind.setPalette(green);
    behind.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&behind, kSlowServerMs));

    window.setWindowFlag(Qt::FramelessWindowHint);
    window.move(150, 150);
    box.resize(70, 50);  // the strip beyond the 60 x 40 picture is background
    box.setPicture(SmallSkin::Make());
    region.Window(&window);
    region.BMPicture(&box);
    region.Transparencycolor(0xFFFFFF);
    region.AlfaTransP(100);
    region.Create();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, kSlowServerMs));
    region.TopMost(-1);

    // Wait until the server has both where they belong, ours over the other.
    const QRect under = GeometryOf(behind.winId()).rect;
    window.move(under.topLeft() + QPoint(50, 50));
    ASSERT_TRUE(Eventually([&] {
      const ServerGeometry ours = GeometryOf(window.winId());
      return ours.viewable && ours.rect.size() == QSize(70, 50) && under.contains(ours.rect) &&
             ours.rect.topLeft() != QPoint(0, 0);
    }));
    QTest::qWait(100);
  }

  QPoint OnScreen(QPoint local) { return GeometryOf(window.winId()).rect.topLeft() + local; }

  void Click(QPoint global) {
    MovePointer(global);
    Xdotool({"click", "1"});
  }

  QWidget behind;
  QWidget window;
  PictureBox box;
  BMPregionInXP region{MakeQtShapePlatform()};
  WindowEvents behindEvents{&behind};
  WindowEvents ourEvents{&window};
};

TEST_F(X11Shape, ClicksOnWhitePassThroughAndOnNearWhiteStay) {
  // White in the picture, white background beyond it, #FEFFFF in the picture.
  const QPoint clicks[] = {SmallSkin::kWhite.center(), QPoint(65, 45), SmallSkin::kNearWhite.center()};
  const std::pair<int, int> expected[] = {{1, 0}, {2, 0}, {2, 1}};  // presses behind, ours
  for (int i = 0; i < 3; ++i) {
    Click(OnScreen(clicks[i]));
    ASSERT_TRUE(Eventually([&] { return behindEvents.presses + ourEvents.presses > i; }));
    EXPECT_EQ(std::pair(behindEvents.presses, ourEvents.presses), expected[i]) << "click " << i;
  }
}

TEST_F(X11Shape, OpacityReachesTheServerWithoutFurtherEvents) {
  const WId id = window.winId();
  region.AlfaTransP(40);
  region.Create();
  // 102/255 of 0xFFFFFFFF.
  EXPECT_TRUE(Eventually([&] { return Property(id, "_NET_WM_WINDOW_OPACITY").endsWith("= 1717986918"); },
                         /*processEvents=*/false))
      << Property(id, "_NET_WM_WINDOW_OPACITY").toStdString();

  region.AlfaTransP(100);
  region.Create();
  EXPECT_TRUE(Eventually([&] { return Property(id, "_NET_WM_WINDOW_OPACITY").endsWith("= 4294967295"); },
                         /*processEvents=*/false))
      << Property(id, "_NET_WM_WINDOW_OPACITY").toStdString();
}

TEST_F(X11Shape, CreateTwiceChangesNothingOnScreen) {
  QTest::qWait(200);
  const ServerGeometry geometry = GeometryOf(window.winId());
  const QRect area = geometry.rect.adjusted(-10, -10, 10, 10);
  QScreen* screen = QGuiApplication::primaryScreen();
  const QImage before = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
  const QRegion mask = window.mask();
  ourEvents.paints = 0;

  EXPECT_EQ(RequestsSentBy([&] {
              region.Create();
              region.TopMost(-1);
            }),
            0);
  QTest::qWait(200);

  const QImage after = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
  EXPECT_EQ(before, after);
  EXPECT_EQ(ourEvents.paints, 0);
  EXPECT_EQ(window.mask(), mask);
  EXPECT_EQ(GeometryOf(window.winId()), geometry);
  // What the screen shows: the skin, and the window behind through the holes.
  const QPoint offset = geometry.rect.topLeft() - area.topLeft();
  EXPECT_EQ(after.pixel(offset + kBody), qRgb(0x80, 0x80, 0x80));
  EXPECT_EQ(after.pixel(offset + SmallSkin::kNearWhite.center()), qRgb(0xFE, 0xFF, 0xFF));
  EXPECT_EQ(after.pixel(offset + SmallSkin::kWhite.center()), qRgb(0, 0x60, 0));
}

class X11ShapeWithWm : public X11Shape {
protected:
  void SetUp() override {
    if (!WindowManagerRunning()) GTEST_SKIP() << "needs a window manager";
    X11Shape::SetUp();
  }
};

TEST_F(X11ShapeWithWm, TopMostSwitchesTheAboveStateInPlace) {
  const WId id = window.winId();
  auto above = [&] { return Property(id, "_NET_WM_STATE").contains("_NET_WM_STATE_ABOVE"); };
  ASSERT_TRUE(Eventually(above));
  const ServerGeometry geometry = GeometryOf(id);

  region.TopMost(0);
  EXPECT_TRUE(Eventually([&] { return !above(); }, /*processEvents=*/false));
  EXPECT_EQ(GeometryOf(id), geometry);

  region.TopMost(-1);
  EXPECT_TRUE(Eventually(above, /*processEvents=*/false));
  EXPECT_EQ(GeometryOf(id), geometry);

  region.TopMost(1);  // anything but -1 means not topmost
  EXPECT_TRUE(Eventually([&] { return !above(); }, /*processEvents=*/false));
  EXPECT_EQ(GeometryOf(id), geometry);
  EXPECT_EQ(window.winId(), id);
}

TEST_F(X11ShapeWithWm, DragStartedByMoveFormMovesTheWindow) {
  ourEvents.onLeftPress = [&] { region.MoveForm(); };
  const QRect start = GeometryOf(window.winId()).rect;
  const QPoint press = start.topLeft() + kBody;

  MovePointer(press);
  Xdotool({"mousedown", "1"});
  ASSERT_TRUE(Eventually([&] { return ourEvents.presses == 1; }));
  // The window follows from the press, with the window manager running
  // too: the pressed spot stays under the pointer.
  MovePointer(press + QPoint(10, 6));
  QTest::qWait(300);
  // It follows every later motion; wiggle at the target until it has arrived.
  const QPoint target = press + QPoint(80, 50);
  const QPoint expected = start.topLeft() + (target - press);
  int step = 0;
  const bool arrived = Eventually([&] {
    MovePointer(target + QPoint(0, ++step % 2));
    return (GeometryOf(window.winId()).rect.topLeft() - expected).manhattanLength() <= 4;
  });
  MovePointer(target);
  Xdotool({"mouseup", "1"});
  EXPECT_TRUE(arrived) << "window at " << GeometryOf(window.winId()).rect.x() << ","
                       << GeometryOf(window.winId()).rect.y();
  EXPECT_EQ(GeometryOf(window.winId()).rect.size(), start.size());
}

TEST_F(X11ShapeWithWm, ClickWithoutMovingLeavesNoMoveBehind) {
  ourEvents.onLeftPress = [&] { region.MoveForm(); };
  const QRect start = GeometryOf(window.winId()).rect;
  Click(start.topLeft() + kBody);
  ASSERT_TRUE(Eventually([&] { return ourEvents.presses == 1; }));
  QTest::qWait(100);
  MovePointer(start.topLeft() + kBody + QPoint(60, 40));
  QTest::qWait(300);
  EXPECT_EQ(GeometryOf(window.winId()).rect, start);

  // And the next click is an ordinary click again.
  ourEvents.onLeftPress = nullptr;
  Click(start.topLeft() + SmallSkin::kNearWhite.center());
  EXPECT_TRUE(Eventually([&] { return ourEvents.presses == 2; }));
}

class X11ShapeNoWm : public X11Shape {
protected:
  void SetUp() override {
    if (WindowManagerRunning()) GTEST_SKIP() << "needs the absence of a window manager";
    X11Shape::SetUp();
  }
};

TEST_F(X11ShapeNoWm, WindowFollowsThePointerUntilRelease) {
  ourEvents.onLeftPress = [&] { region.MoveForm(); };
  const QRect start = GeometryOf(window.winId()).rect;
  const QPoint press = start.topLeft() + kBody;

  MovePointer(press);
  Xdotool({"mousedown", "1"});
  ASSERT_TRUE(Eventually([&] { return ourEvents.presses == 1; }));
  for (const QPoint step : {QPoint(3, 2), QPoint(20, 10), QPoint(50, 30), QPoint(80, 50)}) {
    MovePointer(press + step);
    EXPECT_TRUE(Eventually([&] { return GeometryOf(window.winId()).rect.topLeft() == start.topLeft() + step; }))
        << "step " << step.x() << "," << step.y();
  }
  Xdotool({"mouseup", "1"});
  QTest::qWait(100);

  MovePointer(press + QPoint(120, 90));
  QTest::qWait(300);
  EXPECT_EQ(GeometryOf(window.winId()).rect.topLeft(), start.topLeft() + QPoint(80, 50));
  EXPECT_EQ(ourEvents.presses, 1);  // the drag's own events stayed away from the window
}

}  // namespace
}  // namespace quintora
