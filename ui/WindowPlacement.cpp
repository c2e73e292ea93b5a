#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include "frmCalculator.h"

namespace quintora {

// The window has one size and belongs wholly on a screen: whenever a screen
// comes, goes or changes its size, the window is put back inside one.
void frmCalculator::WatchScreens() {
  auto recheck = [this] { QTimer::singleShot(0, this, [this] { KeepOnScreen(); }); };
  auto watch = [this, recheck](QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, recheck);
    connect(screen, &QScreen::availableGeometryChanged, this, recheck);
  };
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
  connect(qApp, &QGuiApplication::screenAdded, this, watch);
  connect(qApp, &QGuiApplication::screenRemoved, this, recheck);
}

// Moves the window the least way that puts it wholly inside the available
// area of the screen under its centre, or of the primary screen when no
// screen is under it any more.
void frmCalculator::KeepOnScreen() {
  const QRect frame = frameGeometry();
  QScreen* screen = QGuiApplication::screenAt(frame.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  if (area.contains(frame)) return;
  const int x = std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
  const int y = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
  move(x, y);
}

// A window of one size is never maximised or full screen; a window manager
// that makes it so anyway is answered with the normal state.
void frmCalculator::RefuseLargerStates() {
  const Qt::WindowStates larger = Qt::WindowMaximized | Qt::WindowFullScreen;
  if (windowState() & larger) setWindowState(windowState() & ~larger);
}

}  // namespace quintora
