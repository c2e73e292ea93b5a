#pragma once

#include <functional>
#include <memory>

#include <QImage>
#include <QPixmap>
#include <QSize>

namespace quintora {

// A picture as a picture box or a window holds it: the normal image in
// logical pixels and, optionally, a high-resolution variant of the same
// drawing for screens with a device pixel ratio above 1. Copies share the
// image data; two copies of one picture compare equal.
class Picture {
public:
  Picture() = default;
  // highRes, when given, is drawn instead of normal where the device pixel
  // ratio is above 1; its ratio is taken from the two widths (688 / 344 = 2).
  explicit Picture(QImage normal, QImage highRes = {});
  explicit Picture(const QPixmap& normal, const QPixmap& highRes = {});
  // The high-resolution variant is made by loadHighRes the first time it is
  // needed, so a screen at ratio 1 never decodes it.
  Picture(QImage normal, std::function<QImage()> loadHighRes);

  bool isNull() const { return normal_.isNull(); }
  // Size in logical pixels.
  QSize size() const { return normal_.size(); }
  const QImage& normal() const { return normal_; }
  const QImage& highRes() const;
  // The image to draw at the given device pixel ratio.
  const QImage& forDevicePixelRatio(qreal ratio) const;

  friend bool operator==(const Picture& a, const Picture& b);

private:
  // Shared by the copies of a picture, so the variant is loaded once.
  struct HighRes {
    std::function<QImage()> load;
    QImage image;
  };

  QImage normal_;
  std::shared_ptr<HighRes> highRes_;
};

}  // namespace quintora
