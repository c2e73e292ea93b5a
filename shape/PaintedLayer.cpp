#include "PaintedLayer.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

namespace quintora {

PaintedLayer::PaintedLayer(QWidget* window) : QWidget(window) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(window->rect());
  window->installEventFilter(this);
  show();
}

PaintedLayer& PaintedLayer::Of(QWidget* window) {
  for (QObject* child : window->children())
    if (auto* layer = dynamic_cast<PaintedLayer*>(child)) return *layer;
  return *new PaintedLayer(window);
}

bool PaintedLayer::Set(const QRegion& holes, std::uint8_t alpha) {
  raise();  // above any child shown since
  if (holes == holes_ && alpha == alpha_) return false;
  update(holes_ + holes);
  if (alpha != alpha_) update();
  holes_ = holes;
  alpha_ = alpha;
  return true;
}

// Both compositions keep colour and alpha premultiplied, as the surface
// holds them: Clear leaves nothing, DestinationIn scales all four channels.
void PaintedLayer::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  if (alpha_ < 255) {
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.fillRect(rect(), QColor(0, 0, 0, alpha_));
  }
  painter.setClipRegion(event->region() & holes_);
  painter.setCompositionMode(QPainter::CompositionMode_Clear);
  painter.fillRect(rect(), Qt::transparent);
}

bool PaintedLayer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return false;
}

}  // namespace quintora
