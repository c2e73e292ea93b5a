#include "QtShapePlatform.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include "FormWindow.h"
#include "PaintedLayer.h"

#if defined(QUINTORA_HAVE_XCB) && QT_CONFIG(xcb)
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace quintora {

namespace {

constexpr char kStyleProperty[] = "quintoraExtendedStyle";

// The picture as drawn over the background colour, in a format whose rows
// ScanColours reads: 24-bit pictures as they are, any other opaque one as
// RGB32.
QImage OpaquePixels(const QImage& picture, QRgb background) {
  if (picture.format() == QImage::Format_BGR888) return picture;
  if (!picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_RGB32);
  QImage opaque(picture.size(), QImage::Format_RGB32);
  opaque.fill(background);
  QPainter painter(&opaque);
  painter.drawImage(0, 0, picture);
  return opaque;
}

// The colours of row y of OpaquePixels' result, as 0xRRGGBB.
void ScanColours(const QImage& pixels, int y, std::vector<QRgb>& row) {
  const uchar* line = pixels.constScanLine(y);
  row.resize(size_t(pixels.width()));
  if (pixels.format() == QImage::Format_BGR888) {
    for (QRgb& colour : row) {
      colour = qRgb(line[2], line[1], line[0]) & 0xFFFFFF;
      line += 3;
    }
  } else {
    const auto* pixel = reinterpret_cast<const QRgb*>(line);
    for (QRgb& colour : row) colour = *pixel++ & 0xFFFFFF;
  }
}

// The part of a window of the given size that stays: every pixel of what the
// window draws (picture at the top-left, background colour elsewhere) whose
// colour differs from the key. Rows are scanned into runs, and equal runs of
// consecutive rows are merged into bands, which is the form QRegion keeps.
QRegion VisibleRegion(const QImage& picture, QSize size, QRgb key, QRgb background) {
  const int width = size.width();
  const int height = size.height();
  if (width <= 0 || height <= 0) return {};
  key &= 0xFFFFFF;
  const QImage pixels = picture.isNull() ? QImage() : OpaquePixels(picture, background);
  const int pictureWidth = std::min(pixels.width(), width);
  const int pictureHeight = std::min(pixels.height(), height);
  const bool backgroundStays = (background & 0xFFFFFF) != key;

  using Runs = std::vector<std::pair<int, int>>;  // [begin, end) in x
  Runs runs, bandRuns;
  std::vector<QRgb> line;
  std::vector<QRect> rects;
  int bandTop = 0;
  auto closeBand = [&](int bottom) {
    for (const auto& [begin, end] : bandRuns) rects.emplace_back(begin, bandTop, end - begin, bottom - bandTop);
  };

  for (int y = 0; y < height; ++y) {
    runs.clear();
    if (y < pictureHeight) {
      ScanColours(pixels, y, line);
      int x = 0;
      while (x < pictureWidth) {
        while (x < pictureWidth && line[x] == key) ++x;
        if (x == pictureWidth) break;
        const int begin = x;
        while (x < pictureWidth && line[x] != key) ++x;
        runs.emplace_back(begin, x);
      }
      if (backgroundStays && pictureWidth < width) {
        if (!runs.empty() && runs.back().second == pictureWidth) runs.back().second = width;
        else runs.emplace_back(pictureWidth, width);
      }
    } else if (backgroundStays) {
      runs.emplace_back(0, width);
    }
    if (y == 0 || runs != bandRuns) {
      closeBand(y);
      bandRuns = runs;
      bandTop = y;
    }
  }
  closeBand(height);

  QRegion region;
  region.setRects(rects.data(), int(rects.size()));
  return region;
}

// The body drag: the window follows the pointer from the press until the
// left button is released, so the spot that was pressed stays under the
// pointer however fast it moves, with or without a window manager. The
// window moves itself rather than handing the move to the window manager,
// which would start from wherever the pointer is by then and could be left
// in move mode by a quick click. The window sees no mouse events during the
// drag, as under a system move loop.
class BodyDrag final : public QObject {
public:
  explicit BodyDrag(QWidget* window)
      : QObject(window), window_(window), pressPos_(QCursor::pos()), windowPos_(window->pos()) {
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    // Let Qt's own window-level bookkeeping (mouse grab, enter and leave)
    // see the events; they are held back from the widgets only.
    if (!watched->isWidgetType()) return false;
    switch (event->type()) {
      case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & Qt::LeftButton)) {
          Finish();
          return false;
        }
        PlaceWindow(window_, windowPos_ + mouse->globalPosition().toPoint() - pressPos_);
        return true;
      }
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return true;
        Finish();
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        return true;
      default:
        return false;
    }
  }

private:
  void Finish() {
    qApp->removeEventFilter(this);
    deleteLater();
  }

  QWidget* window_;
  QPoint pressPos_;
  QPoint windowPos_;
};

class QtShapePlatform final : public ShapePlatform {
public:
  explicit QtShapePlatform(WindowSystem system) : wayland_(system == WindowSystem::Wayland) {}

  std::uint32_t ExtendedStyle(QWidget* window) override {
    return window->property(kStyleProperty).toUInt();
  }

  void SetExtendedStyle(QWidget* window, std::uint32_t style) override {
    const std::uint32_t old = ExtendedStyle(window);
    if (old == style) return;
    window->setProperty(kStyleProperty, QVariant::fromValue(uint(style)));
    NoteShapeChange();
    if ((old & kLayeredStyle) && !(style & kLayeredStyle)) {
      bool changed = false;
      if (!window->mask().isEmpty()) {
        window->clearMask();
        changed = true;
      }
      changed |= ApplyHolesAndOpacity(window, QRegion(), 255);
      if (changed) FlushWindowSystem();
    }
  }

  void SetLayeredAttributes(QWidget* window, ColourRef keyColour, std::uint8_t alpha) override {
    if (!(ExtendedStyle(window) & kLayeredStyle)) return;
    // The surface gets its alpha channel when it is made, before it shows.
    if (wayland_ && !window->testAttribute(Qt::WA_TranslucentBackground))
      window->setAttribute(Qt::WA_TranslucentBackground);
    const WindowBackground background = BackgroundOf(window);
    const QRegion& visible = MaskFor(background, window->size(), ColourFromRef(keyColour).rgb());
    bool changed = false;
    if (window->mask() != visible) {
      window->setMask(visible);
      changed = true;
    }
    changed |= ApplyHolesAndOpacity(window, QRegion(window->rect()) - visible, alpha);
    if (changed) {
      NoteShapeChange();
      FlushWindowSystem();
    }
  }

  void RedrawWindow(QWidget* window) override {
    window->update();
    for (QWidget* child : window->findChildren<QWidget*>()) child->update();
  }

  void StartBodyDrag(QWidget* window) override {
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) return;  // no press to follow
    if (wayland_) {
      // Only the compositor moves a window, from the press it was given.
      if (QWindow* handle = window->windowHandle()) handle->startSystemMove();
      return;
    }
    for (QObject* child : window->children())
      if (dynamic_cast<BodyDrag*>(child)) return;  // one drag at a time
    new BodyDrag(window);
  }

  // Wayland has no band a program can put its window into; the program tells
  // the user what to do instead (main.cpp).
  void SetTopMost(QWidget* window, bool topMost) override {
    if (wayland_) return;
    QWindow* handle = window->windowHandle();
    const bool widgetOnTop = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    const bool handleOnTop = handle && handle->flags().testFlag(Qt::WindowStaysOnTopHint);
    if (widgetOnTop == topMost && (!handle || handleOnTop == topMost)) return;
    // QWidget::setWindowFlags would hide and re-create the native window;
    // the widget's record of the flags is updated alone and the native
    // window switched in place.
    window->overrideWindowFlags(window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, topMost));
    NoteShapeChange();
    if (handle) {
      handle->setFlag(Qt::WindowStaysOnTopHint, topMost);
      FlushWindowSystem();
    }
  }

  bool IsProgramActive() override { return QApplication::activeWindow() != nullptr; }

  std::optional<std::uint64_t> ChangeCount() override { return ShapeChanges(); }

private:
  // The holes beyond what the mask cuts away, and the opacity. Returns
  // whether either changed.
  bool ApplyHolesAndOpacity(QWidget* window, const QRegion& holes, std::uint8_t alpha) const {
    if (wayland_) return PaintedLayer::Of(window).Set(holes, alpha);
    const QWindow* handle = window->windowHandle();
    const qreal current = handle ? handle->opacity() : window->windowOpacity();
    const qreal opacity = alpha / 255.0;
    if (qAbs(current - opacity) < 0.5 / 255) return false;
    window->setWindowOpacity(opacity);
    return true;
  }

  const bool wayland_;

  // One region per distinct picture, window size, key and background colour;
  // the last few are kept so that switching back and forth costs nothing.
  struct MaskEntry {
    qint64 picture;
    QSize size;
    QRgb key;
    QRgb background;
    QRegion region;
  };

  const QRegion& MaskFor(const WindowBackground& background, QSize size, QRgb key) {
    const qint64 picture = background.picture.normal().cacheKey();
    const QRgb colour = background.colour.rgb();
    auto match = std::find_if(masks_.begin(), masks_.end(), [&](const MaskEntry& e) {
      return e.picture == picture && e.size == size && e.key == key && e.background == colour;
    });
    if (match == masks_.end()) {
      if (masks_.size() == kMaskCacheSize) masks_.pop_back();
      QRegion region = VisibleRegion(background.picture.normal(), size, key, colour);
      // An empty mask would mean "no mask" (all visible); a window that is
      // all key colour gets a region that lies outside it instead.
      if (region.isEmpty()) region = QRegion(-1, -1, 1, 1);
      masks_.insert(masks_.begin(), MaskEntry{picture, size, key, colour, std::move(region)});
      return masks_.front().region;
    }
    std::rotate(masks_.begin(), match, match + 1);
    return masks_.front().region;
  }

  static constexpr std::size_t kMaskCacheSize = 4;
  std::vector<MaskEntry> masks_;
};

}  // namespace

void FlushWindowSystem() {
#if defined(QUINTORA_HAVE_XCB) && QT_CONFIG(xcb)
  // The offscreen platform answers to the X11 interface too, without a connection.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
    if (xcb_connection_t* connection = x11->connection()) xcb_flush(connection);
#endif
}

WindowSystem RunningWindowSystem() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? WindowSystem::Wayland
                                                                                : WindowSystem::X11OrWindows;
}

std::shared_ptr<ShapePlatform> MakeQtShapePlatform(WindowSystem system) {
  return std::make_shared<QtShapePlatform>(system);
}

std::shared_ptr<ShapePlatform> DefaultShapePlatform() {
  static const std::shared_ptr<ShapePlatform> platform = MakeQtShapePlatform();
  return platform;
}

}  // namespace quintora
