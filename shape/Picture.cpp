#include "Picture.h"

#include <utility>

namespace quintora {

Picture::Picture(QImage normal, QImage highRes) : normal_(std::move(normal)) {
  normal_.setDevicePixelRatio(1.0);
  if (normal_.isNull() || highRes.isNull()) return;
  highRes.setDevicePixelRatio(qreal(highRes.width()) / normal_.width());
  highRes_ = std::make_shared<HighRes>(HighRes{nullptr, std::move(highRes)});
}

Picture::Picture(const QPixmap& normal, const QPixmap& highRes)
    : Picture(normal.toImage(), highRes.toImage()) {}

Picture::Picture(QImage normal, std::function<QImage()> loadHighRes) : normal_(std::move(normal)) {
  normal_.setDevicePixelRatio(1.0);
  if (normal_.isNull() || !loadHighRes) return;
  highRes_ = std::make_shared<HighRes>(HighRes{std::move(loadHighRes), QImage()});
}

const QImage& Picture::highRes() const {
  static const QImage none;
  if (!highRes_) return none;
  if (highRes_->load) {
    QImage image = std::exchange(highRes_->load, nullptr)();
    if (!image.isNull()) image.setDevicePixelRatio(qreal(image.width()) / normal_.width());
    highRes_->image = std::move(image);
  }
  return highRes_->image;
}

const QImage& Picture::forDevicePixelRatio(qreal ratio) const {
  if (ratio > 1.0 && !highRes().isNull()) return highRes();
  return normal_;
}

bool operator==(const Picture& a, const Picture& b) {
  if (a.normal_.cacheKey() != b.normal_.cacheKey()) return false;
  if (a.highRes_ == b.highRes_) return true;
  if (!a.highRes_ || !b.highRes_) return false;
  // Two variants not loaded yet are the same only if they are one.
  if (a.highRes_->load || b.highRes_->load) return false;
  return a.highRes_->image.cacheKey() == b.highRes_->image.cacheKey();
}

}  // namespace quintora
