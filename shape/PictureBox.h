#pragma once

#include <QWidget>

#include "Picture.h"

namespace quintora {

// A widget that holds a picture and shows it unscaled from the top-left
// corner of its inner area, inside an optional sunken border. Its inner
// size, in twips, is what a skinned window takes as its own size.
class PictureBox : public QWidget {
  Q_OBJECT

public:
  explicit PictureBox(QWidget* parent = nullptr);

  void setPicture(const Picture& picture);
  // Shorthand for a picture and its optional high-resolution variant.
  void setPicture(const QImage& normal, const QImage& highRes = {});
  const Picture& picture() const { return picture_; }

  // Border width in pixels on each side; 0 means no border.
  void setBorderWidth(int pixels);
  int borderWidth() const { return border_; }

  // The area inside the border.
  QSize innerSize() const;
  int innerWidthTwips() const;
  int innerHeightTwips() const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Picture picture_;
  int border_ = 0;
};

}  // namespace quintora
