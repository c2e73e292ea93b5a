#include "SkinLabel.h"

#include <QMouseEvent>
#include <QPaintEvent>

namespace quintora {

SkinLabel::SkinLabel(QWidget* parent) : QLabel(parent) {
  setMouseTracking(true);
  setAutoFillBackground(false);
}

void SkinLabel::setForeColor(const QColor& colour) {
  if (foreColor() == colour) return;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, colour);
  setPalette(p);
}

QColor SkinLabel::foreColor() const { return palette().color(QPalette::WindowText); }

void SkinLabel::press() {
  emit mouseMoved();
  emit clicked();
}

void SkinLabel::mouseMoveEvent(QMouseEvent* event) {
  last_move_ = event->position();
  event->accept();
  emit mouseMoved();
}

void SkinLabel::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (last_move_ != event->position()) {
    last_move_ = event->position();
    emit mouseMoved();
  }
  if (event->button() == Qt::LeftButton) left_pressed_ = true;
}

void SkinLabel::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  const bool click = left_pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) left_pressed_ = false;
  if (click) emit clicked();
}

// A double click counts as a second click, as a key pressed twice.
void SkinLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton) left_pressed_ = true;
}

void SkinLabel::leaveEvent(QEvent* event) {
  last_move_.reset();
  QLabel::leaveEvent(event);
}

// What lies outside the window's mask is never seen. Qt paints the whole
// window once when its backing store is first sized, mask or not; a label
// wholly outside the mask then skips drawing (and loading its font).
void SkinLabel::paintEvent(QPaintEvent* event) {
  const QWidget* top = window();
  if (top != this) {
    const QRegion mask = top->mask();
    if (!mask.isEmpty() && !mask.intersects(event->region().translated(mapTo(top, QPoint(0, 0))))) return;
  }
  QLabel::paintEvent(event);
}

}  // namespace quintora
