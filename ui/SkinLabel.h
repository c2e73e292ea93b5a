#pragma once

#include <QLabel>
#include <QPointF>

#include <optional>

namespace quintora {

// A transparent label laid over the skin. It keeps every mouse event it gets
// to itself, so the window body only hears about moves and presses over the
// bare skin, and reports moves and left-button clicks.
class SkinLabel : public QLabel {
  Q_OBJECT

 public:
  explicit SkinLabel(QWidget* parent);

  // The text colour; setting the colour it already has changes nothing.
  void setForeColor(const QColor& colour);
  QColor foreColor() const;

  // What a left click on the label does, for assistive tools: the pointer
  // reaches the label, then clicks it.
  void press();

 signals:
  void mouseMoved();
  void clicked();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Where the last move reached the label; a press elsewhere (a press with
  // no move before it, as touch screens and input tools deliver) first
  // counts as a move, so the key shows its symbol before it is pressed.
  std::optional<QPointF> last_move_;
  bool left_pressed_ = false;
};

}  // namespace quintora
