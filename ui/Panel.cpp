#include "Panel.h"

#include <QMouseEvent>

namespace quintora {

void Panel::mousePressEvent(QMouseEvent* event) { event->accept(); }
void Panel::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void Panel::mouseMoveEvent(QMouseEvent* event) { event->accept(); }
void Panel::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

}  // namespace quintora
