#include "Picture.h"

namespace quintora {

Picture::Picture(QImage normal, QImage highRes)
    : normal_(std::move(normal)), highRes_(std::move(highRes)) {
  normal_.setDevicePixelRatio(1.0);
  if (normal_.isNull() || highRes_.isNull()) {
    highRes_ = QImage();
    return;
  }
  highRes_.setDevicePixelRatio(qreal(highRes_.width()) / normal_.width());
}

Picture::Picture(const QPixmap& normal, const QPixmap& highRes)
    : Picture(normal.toImage(), highRes.toImage()) {}

const QImage& Picture::forDevicePixelRatio(qreal ratio) const {
  return (ratio > 1.0 && !highRes_.isNull()) ? highRes_ : normal_;
}

}  // namespace quintora
