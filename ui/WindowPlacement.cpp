#include <QEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <optional>

#include "FormWindow.h"
#include "frmCalculator.h"

namespace quintora {

// The window has one size and belongs wholly on a screen: whenever a screen
// comes, goes or changes its size, the window is put back inside one. On
// Wayland the compositor alone places windows.
void frmCalculator::WatchScreens() {
  if (RunningWindowSystem() == WindowSystem::Wayland) return;
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
  PlaceWindow(this, QPoint(x, y));
}

// The window has one size, and takes it back at once when another program
// resizes it: Windows applies no minimum or maximum to a borderless window
// that another program moves with SetWindowPos, nor does every X11 window
// manager.
void frmCalculator::resizeEvent(QResizeEvent* event) {
  const QSize fixed = minimumSize();
  if (fixed == maximumSize() && size() != fixed) resize(fixed);
  QWidget::resizeEvent(event);
}

// A window of one size is never maximised or full screen; a window manager
// or program that makes it so anyway is answered with the normal state, in
// the window's own place (FormWindow.h), not wherever a window manager moved
// it on the way. Windows moves a maximised window to the screen's corner
// after it has told the state: the move back waits for that. A window
// manager may also move the window once more as it leaves the state (KWin on
// X11, to the screen's corner): for a moment after the refusal, such a move
// is answered the same way. On Wayland the compositor puts the window back
// itself.
void frmCalculator::RefuseLargerStates() {
  const Qt::WindowStates larger = Qt::WindowMaximized | Qt::WindowFullScreen;
  if (!(windowState() & larger)) return;
  setWindowState(windowState() & ~larger);
  if (RunningWindowSystem() == WindowSystem::Wayland) return;
  moveSettling_.stop();  // a move on the way to the state
  refusal_.start();
  QTimer::singleShot(0, this, [this] { BackToOwnPlace(); });
}

// A move by a window manager or another program (a keyboard move, a
// program that places windows) is where the user wants the window, unless a
// larger state follows it at once: some X11 window managers move the window
// to the screen's corner before they tell the state.
void frmCalculator::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (refusal_.isActive()) BackToOwnPlace();
  else if (RunningWindowSystem() != WindowSystem::Wayland && OwnPlace(this) != pos()) moveSettling_.start();
}

void frmCalculator::AdoptSettledPlace() {
  if (windowState() == Qt::WindowNoState && !refusal_.isActive()) NotePlace(this);
}

void frmCalculator::BackToOwnPlace() {
  const std::optional<QPoint> place = OwnPlace(this);
  if (place && frameGeometry().topLeft() != *place) PlaceWindow(this, *place);
}

}  // namespace quintora
