#include "FormWindow.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace quintora {

namespace {

std::uint64_t shapeChanges = 0;
constexpr char kOwnPlaceProperty[] = "quintoraOwnPlace";

// Paints the window's background before the window paints itself. It lives
// as a child of the window and watches the window's paint events.
class BackgroundPainter final : public QObject {
public:
  explicit BackgroundPainter(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
  }

  WindowBackground background;
  bool hasColour = false;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Paint) {
      QPainter painter(window_);
      painter.setClipRegion(static_cast<QPaintEvent*>(event)->region());
      if (hasColour) painter.fillRect(window_->rect(), background.colour);
      if (!background.picture.isNull())
        painter.drawImage(0, 0, background.picture.forDevicePixelRatio(window_->devicePixelRatio()));
    }
    return false;
  }

private:
  QWidget* window_;
};

BackgroundPainter* FindPainter(const QWidget* window) {
  for (QObject* child : window->children())
    if (auto* painter = dynamic_cast<BackgroundPainter*>(child)) return painter;
  return nullptr;
}

BackgroundPainter* PainterOf(QWidget* window) {
  if (auto* painter = FindPainter(window)) return painter;
  return new BackgroundPainter(window);
}

}  // namespace

std::uint64_t ShapeChanges() { return shapeChanges; }
void NoteShapeChange() { ++shapeChanges; }

bool IsMinimized(const QWidget* window) { return window->isMinimized(); }

int WindowWidthTwips(const QWidget* window) { return PixelsToTwips(window->width()); }
int WindowHeightTwips(const QWidget* window) { return PixelsToTwips(window->height()); }

void SetWindowWidthTwips(QWidget* window, long long twips) {
  const int pixels = TwipsToPixels(twips);
  if (window->minimumWidth() != pixels || window->maximumWidth() != pixels) window->setFixedWidth(pixels);
}

void SetWindowHeightTwips(QWidget* window, long long twips) {
  const int pixels = TwipsToPixels(twips);
  if (window->minimumHeight() != pixels || window->maximumHeight() != pixels) window->setFixedHeight(pixels);
}

std::optional<QPoint> OwnPlace(const QWidget* window) {
  const QVariant place = window->property(kOwnPlaceProperty);
  if (!place.isValid()) return std::nullopt;
  return place.toPoint();
}

void PlaceWindow(QWidget* window, QPoint place) {
  window->setProperty(kOwnPlaceProperty, place);
  // Straight to the native window: the widget's record of its place can lag
  // behind a move the window system has just made, and the widget does not
  // ask for the place it believes it is at.
  if (QWindow* handle = window->windowHandle()) handle->setFramePosition(place);
  else window->move(place);
}

void NotePlace(QWidget* window) { window->setProperty(kOwnPlaceProperty, window->pos()); }

void NoteFirstPlace(QWidget* window) {
  if (!OwnPlace(window)) NotePlace(window);
}

WindowBackground BackgroundOf(const QWidget* window) {
  const BackgroundPainter* painter = FindPainter(window);
  WindowBackground result;
  if (painter) result = painter->background;
  if (!painter || !painter->hasColour) result.colour = window->palette().color(QPalette::Window);
  return result;
}

void SetBackgroundPicture(QWidget* window, const Picture& picture) {
  BackgroundPainter* painter = FindPainter(window);
  if (!painter && picture.isNull()) return;
  if (!painter) painter = PainterOf(window);
  if (painter->background.picture == picture) return;
  painter->background.picture = picture;
  NoteShapeChange();
  window->update();
}

void SetBackgroundColour(QWidget* window, const QColor& colour) {
  BackgroundPainter* painter = PainterOf(window);
  if (painter->hasColour && painter->background.colour.rgba() == colour.rgba()) return;
  painter->background.colour = colour;
  painter->hasColour = true;
  NoteShapeChange();
  window->update();
}

}  // namespace quintora
