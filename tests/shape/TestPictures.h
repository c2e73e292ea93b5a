#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

namespace quintora::test {

// A small skin: a body with a pure white square and beside it a square of
// #FEFFFF, which differs from white in red only.
struct SmallSkin {
  static constexpr QRect kWhite{10, 10, 20, 20};
  static constexpr QRect kNearWhite{35, 10, 20, 20};
  static constexpr QSize kSize{60, 40};

  static QImage Make(QColor body = QColor(0x80, 0x80, 0x80)) {
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(body);
    QPainter painter(&image);
    painter.fillRect(kWhite, Qt::white);
    painter.fillRect(kNearWhite, QColor(0xFE, 0xFF, 0xFF));
    return image;
  }
};

}  // namespace quintora::test
