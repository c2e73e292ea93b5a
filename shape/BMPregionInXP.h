#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <QPointer>
#include <QWidget>

#include "ColourRef.h"
#include "PictureBox.h"
#include "ShapePlatform.h"

namespace quintora {

// Turns a top-level window into a skinned one: sized to a picture box, the
// box's picture as its background, every pixel of the key colour a hole that
// lets the mouse through, one opacity for the whole window. It also drags
// the window by its body and puts it into or out of the topmost band.
//
// The four properties can only be set, and setting them changes nothing on
// the window; Create applies them. Failures are thrown to the caller:
// std::overflow_error from AlfaTransP, std::out_of_range from Reset without
// an earlier Create, std::logic_error when Window or BMPicture is missing.
class BMPregionInXP {
public:
  explicit BMPregionInXP(std::shared_ptr<ShapePlatform> platform = nullptr);

  BMPregionInXP(const BMPregionInXP&) = delete;
  BMPregionInXP& operator=(const BMPregionInXP&) = delete;

  // The key colour, &HBBGGRR.
  void Transparencycolor(ColourRef vNewValue);
  // The top-level window that is shaped.
  void Window(QWidget* vNewValue);
  // The picture box that supplies the skin picture and the window size.
  void BMPicture(PictureBox* vNewValue);
  // Opacity in percent: 100 or more is opaque; a negative value throws
  // std::overflow_error and keeps the previous opacity.
  void AlfaTransP(std::int16_t vNewValue);

  void Create();
  void Reset();
  // Call from a left-button press on the window's body.
  void MoveForm();
  // Activate -1 (true) puts the window into the topmost band, any other
  // value takes it out.
  void TopMost(const std::int16_t& Activate);

private:
  // What Create's steps read, as it stood when they last ran. The activity
  // timer calls Create every tick; while this is unchanged and the size
  // text is current, every step would leave the window as it is.
  struct SetUp {
    const QWidget* window;
    const PictureBox* picture;
    QSize windowSize;
    QSize pictureSize;
    ColourRef keyColour;
    std::uint8_t alpha;
    std::uint64_t shapeChanges;
    bool operator==(const SetUp&) const = default;
  };

  QWidget& RequireWindow() const;
  PictureBox& RequirePicture() const;
  std::optional<SetUp> SetUpNow(const QWidget& window, const PictureBox& picture) const;

  ColourRef keyColour_ = 0x8000FF;
  QPointer<QWidget> window_;
  QPointer<PictureBox> pictureHolder_;
  std::uint8_t AlphaByte = 210;
  std::string SavedSize;
  std::optional<SetUp> applied_;
  // The band TopMost last put the window in, and the change count then.
  struct Band {
    const QWidget* window;
    bool topMost;
    std::uint64_t shapeChanges;
    bool operator==(const Band&) const = default;
  };
  std::optional<Band> band_;

  std::shared_ptr<ShapePlatform> platform_;
};

}  // namespace quintora
