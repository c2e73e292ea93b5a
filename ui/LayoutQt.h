#pragma once

#include <cmath>
#include <cstdint>

#include <QRect>
#include <QString>
#include <Qt>

#include "Layout.h"
#include "Twips.h"

// The control table in the terms Qt takes, converted as the window applies
// it. Qt Core only, so that the skin generator and the tests that check the
// pictures or drive the window use the same conversions.
namespace quintora {

// "Name", or "Name(index)" for a control of a control array.
inline QString ObjectName(const char* name, std::int16_t index) {
  return index < 0 ? QString(name) : QStringLiteral("%1(%2)").arg(name).arg(index);
}

inline QRect PixelRect(const layout::Rect& r) {
  return {TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width), TwipsToPixels(r.height)};
}

// A font size in pixels at 96 dots per inch, so text keeps its size against
// the fixed pixel layout whatever the screen's resolution.
inline int PointsToPixels(double points) { return static_cast<int>(std::lround(points * 4.0 / 3.0)); }

// Captions sit at the top of their label.
inline Qt::Alignment Alignment(layout::Align align) {
  switch (align) {
    case layout::Align::Centre: return Qt::AlignHCenter | Qt::AlignTop;
    case layout::Align::Right: return Qt::AlignRight | Qt::AlignTop;
    case layout::Align::Left: break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

}  // namespace quintora
