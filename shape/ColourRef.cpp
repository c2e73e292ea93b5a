#include "ColourRef.h"

#include <QGuiApplication>
#include <QPalette>

namespace quintora {

namespace {

// The system colour indices that have a counterpart in a palette.
QColor SystemColour(unsigned index) {
  const QPalette palette = QGuiApplication::palette();
  switch (index) {
    case 1:  return palette.color(QPalette::Window);            // desktop
    case 4:  return palette.color(QPalette::Window);            // menu
    case 5:  return palette.color(QPalette::Base);              // window
    case 6:  return palette.color(QPalette::WindowText);        // window frame
    case 7:  return palette.color(QPalette::WindowText);        // menu text
    case 8:  return palette.color(QPalette::Text);              // window text
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);            // button face
    case 16: return palette.color(QPalette::Dark);              // button shadow
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: return palette.color(QPalette::ButtonText);
    case 20: return palette.color(QPalette::Light);             // button highlight
    case 21: return palette.color(QPalette::Shadow);            // 3D dark shadow
    case 22: return palette.color(QPalette::Midlight);          // 3D light
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    default: return palette.color(QPalette::Window);
  }
}

}  // namespace

QColor ColourFromRef(ColourRef ref) {
  if (ref & kSystemColourFlag) return SystemColour(ref & 0xFFu);
  return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

}  // namespace quintora
