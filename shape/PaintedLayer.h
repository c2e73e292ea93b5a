#pragma once

#include <cstdint>

#include <QRegion>
#include <QWidget>

namespace quintora {

// What a window gets where the compositor has neither a colour key nor a
// window opacity (Wayland): on its translucent surface this child, kept
// above all the others, paints last. It clears the holes to full
// transparency, whatever the window and its children drew there, and
// scales all that stays to the opacity. It takes no input, no focus, and
// follows the window's size.
class PaintedLayer final : public QWidget {
public:
  // The window's layer, made on first use.
  static PaintedLayer& Of(QWidget* window);

  // Holes in window coordinates; alpha from 0 (invisible) to 255 (as
  // painted). Returns whether anything changed.
  bool Set(const QRegion& holes, std::uint8_t alpha);

protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  explicit PaintedLayer(QWidget* window);

  QRegion holes_;
  std::uint8_t alpha_ = 255;
};

}  // namespace quintora
