#pragma once

#include <QWidget>

namespace quintora {

// A filled container that keeps the mouse events over its area to itself,
// so nothing under it and not the window body hears them.
class Panel : public QWidget {
 public:
  explicit Panel(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace quintora
