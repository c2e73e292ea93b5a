#include "PictureBox.h"

#include <algorithm>

#include <QPainter>
#include <QPaintEvent>

#include "FormWindow.h"

namespace quintora {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::setPicture(const Picture& picture) {
  if (picture_ == picture) return;
  picture_ = picture;
  NoteShapeChange();
  update();
}

void PictureBox::setPicture(const QImage& normal, const QImage& highRes) {
  setPicture(Picture(normal, highRes));
}

void PictureBox::setBorderWidth(int pixels) {
  pixels = std::max(0, pixels);
  if (border_ == pixels) return;
  border_ = pixels;
  NoteShapeChange();
  update();
}

QSize PictureBox::innerSize() const {
  return QSize(std::max(0, width() - 2 * border_), std::max(0, height() - 2 * border_));
}

int PictureBox::innerWidthTwips() const { return PixelsToTwips(innerSize().width()); }
int PictureBox::innerHeightTwips() const { return PixelsToTwips(innerSize().height()); }

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  const QRect inner(QPoint(border_, border_), innerSize());
  painter.fillRect(inner, palette().color(QPalette::Button));
  if (!picture_.isNull()) {
    painter.save();
    painter.setClipRect(inner, Qt::IntersectClip);
    painter.drawImage(inner.topLeft(), picture_.forDevicePixelRatio(devicePixelRatio()));
    painter.restore();
  }
  // Sunken 3D border: dark on the top and left, light on the bottom and right.
  for (int i = 0; i < border_; ++i) {
    const QRect r = rect().adjusted(i, i, -i - 1, -i - 1);
    painter.setPen(palette().color(i == 0 ? QPalette::Dark : QPalette::Shadow));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(palette().color(i == 0 ? QPalette::Light : QPalette::Midlight));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
  }
}

}  // namespace quintora
