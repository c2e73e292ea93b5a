#include "BMPregionInXP.h"

#include <charconv>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "FormWindow.h"
#include "QtShapePlatform.h"

namespace quintora {

namespace {

// Splits at every ";". An empty text has no parts at all.
std::vector<std::string> SplitParts(const std::string& text) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::string::size_type begin = 0;
  for (;;) {
    const auto end = text.find(';', begin);
    parts.push_back(text.substr(begin, end - begin));
    if (end == std::string::npos) return parts;
    begin = end + 1;
  }
}

const std::string& Part(const std::vector<std::string>& parts, std::size_t index) {
  if (index >= parts.size()) throw std::out_of_range("Subscript out of range");
  return parts[index];
}

std::int32_t ToInt32(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) throw std::overflow_error("Overflow");
  if (error != std::errc() || end != text.data() + text.size()) throw std::invalid_argument("Type mismatch");
  return value;
}

// The window's size as Create records it, "width;height" in twips.
std::string SizeText(const QWidget& window) {
  return std::to_string(WindowWidthTwips(&window)) + ";" + std::to_string(WindowHeightTwips(&window));
}

}  // namespace

BMPregionInXP::BMPregionInXP(std::shared_ptr<ShapePlatform> platform)
    : platform_(platform ? std::move(platform) : DefaultShapePlatform()) {}

void BMPregionInXP::Transparencycolor(ColourRef vNewValue) { keyColour_ = vNewValue; }

// Another window or picture box, even one that took the place of a deleted
// one at the same address, has had nothing set up yet.
void BMPregionInXP::Window(QWidget* vNewValue) {
  if (window_ == vNewValue) return;
  window_ = vNewValue;
  applied_.reset();
  band_.reset();
}

void BMPregionInXP::BMPicture(PictureBox* vNewValue) {
  if (pictureHolder_ == vNewValue) return;
  pictureHolder_ = vNewValue;
  applied_.reset();
}

void BMPregionInXP::AlfaTransP(std::int16_t vNewValue) {
  if (vNewValue >= 100) {
    AlphaByte = 255;
    return;
  }
  // p * 255 \ 100 as the 16-bit runtime computes it: the product must fit
  // in 16 bits and the quotient in a byte, or nothing is stored.
  const std::int32_t product = std::int32_t(vNewValue) * 255;
  if (product < std::numeric_limits<std::int16_t>::min() || product > std::numeric_limits<std::int16_t>::max())
    throw std::overflow_error("Overflow");
  const std::int32_t quotient = product / 100;
  if (quotient < 0 || quotient > 255) throw std::overflow_error("Overflow");
  AlphaByte = std::uint8_t(quotient);
}

void BMPregionInXP::Create() {
  QWidget& window = RequireWindow();
  PictureBox& picture = RequirePicture();

  // 1. A minimised window is left alone.
  if (IsMinimized(&window)) return;

  // Nothing the steps read has changed since they last ran, so each of them
  // would leave the window as it is: the timer's ticks end here.
  const std::optional<SetUp> now = SetUpNow(window, picture);
  if (now && now == applied_ && SavedSize == SizeText(window)) return;

  // 2. Record the current size, "width;height" in twips.
  SavedSize = SizeText(window);

  // 3. Take the inner size of the picture box.
  SetWindowWidthTwips(&window, picture.innerWidthTwips());
  SetWindowHeightTwips(&window, picture.innerHeightTwips());

  // 4. Its picture becomes the window's background, unscaled from the top-left.
  SetBackgroundPicture(&window, picture.picture());

  // 5. Whatever the picture does not cover shows the key colour, so it is a hole too.
  SetBackgroundColour(&window, ColourFromRef(keyColour_));

  // 6. Make the window layered.
  const std::uint32_t style = platform_->ExtendedStyle(window_);
  platform_->SetExtendedStyle(window_, style | ShapePlatform::kLayeredStyle);

  // 7. Key colour and opacity.
  platform_->SetLayeredAttributes(window_, keyColour_, AlphaByte);

  applied_ = SetUpNow(window, picture);
}

void BMPregionInXP::Reset() {
  QWidget& window = RequireWindow();

  // 1. Drop the layered style, keeping every other bit.
  const std::uint32_t style = platform_->ExtendedStyle(window_);
  platform_->SetExtendedStyle(window_, style & ~ShapePlatform::kLayeredStyle);

  // 2. Repaint everything, frame and children included.
  platform_->RedrawWindow(window_);

  // 3. The size recorded by the last Create.
  const std::vector<std::string> parts = SplitParts(SavedSize);

  // 4. Back to the ordinary face colour.
  SetBackgroundColour(&window, ColourFromRef(kButtonFaceColour));

  // 5. Back to the recorded size; without an earlier Create there is none
  //    and this throws, leaving size and picture as they are.
  SetWindowWidthTwips(&window, ToInt32(Part(parts, 0)));
  SetWindowHeightTwips(&window, ToInt32(Part(parts, 1)));

  // 6. No background picture.
  SetBackgroundPicture(&window, Picture());
}

void BMPregionInXP::MoveForm() { platform_->StartBodyDrag(&RequireWindow()); }

void BMPregionInXP::TopMost(const std::int16_t& Activate) {
  QWidget& window = RequireWindow();
  const bool topMost = Activate == -1;
  const std::optional<std::uint64_t> changes = platform_->ChangeCount();
  if (changes && band_ == Band{&window, topMost, *changes}) return;  // already there
  platform_->SetTopMost(&window, topMost);
  if (const std::optional<std::uint64_t> after = platform_->ChangeCount()) band_ = Band{&window, topMost, *after};
}

QWidget& BMPregionInXP::RequireWindow() const {
  if (!window_) throw std::logic_error("Object variable not set: Window");
  return *window_;
}

std::optional<BMPregionInXP::SetUp> BMPregionInXP::SetUpNow(const QWidget& window, const PictureBox& picture) const {
  const std::optional<std::uint64_t> changes = platform_->ChangeCount();
  if (!changes) return std::nullopt;
  return SetUp{&window, &picture, window.size(), picture.innerSize(), keyColour_, AlphaByte, *changes};
}

PictureBox& BMPregionInXP::RequirePicture() const {
  if (!pictureHolder_) throw std::logic_error("Object variable not set: BMPicture");
  return *pictureHolder_;
}

}  // namespace quintora
