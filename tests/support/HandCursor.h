#pragma once

#include <QCursor>
#include <QPixmap>
#include <QString>

namespace quintora::test {

// What is wrong with a hand pointer made for a device pixel ratio, or
// nothing: 32 x 32 logical pixels drawn at the ratio, the hot spot on the
// finger tip (12, 1) in logical pixels.
inline QString HandCursorMismatch(const QCursor& hand, qreal ratio) {
  const QPixmap pixmap = hand.pixmap();
  if (hand.shape() != Qt::BitmapCursor) return QStringLiteral("not a picture");
  if (pixmap.size() != QSize(32, 32) * ratio || pixmap.devicePixelRatio() != ratio)
    return QStringLiteral("%1 x %2 pixels at a ratio of %3").arg(pixmap.width()).arg(pixmap.height()).arg(pixmap.devicePixelRatio());
  if (hand.hotSpot() != QPoint(12, 1))
    return QStringLiteral("hot spot at %1, %2").arg(hand.hotSpot().x()).arg(hand.hotSpot().y());
  return {};
}

}  // namespace quintora::test
