#include "Icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

namespace skingen {
namespace {

// The 16 colours of the classic icon palette, in their usual order.
const QVector<QRgb> kIconPalette = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
    0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
    0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};
enum IconColour { kBlack = 0, kNavy = 4, kSilver = 7, kGrey = 8, kWhite = 15 };

// A small palette picture: one index per pixel, -1 for transparent.
struct PixelGrid {
  int size;
  std::vector<int> cells;

  explicit PixelGrid(int n) : size(n), cells(static_cast<size_t>(n * n), -1) {}

  void Set(int x, int y, int colour) {
    if (x >= 0 && y >= 0 && x < size && y < size) cells[static_cast<size_t>(y * size + x)] = colour;
  }
  // Inclusive pixel ranges.
  void Fill(int x0, int y0, int x1, int y1, int colour) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Set(x, y, colour);
  }

  QImage ToImage(const QVector<QRgb>& palette) const {
    QImage img(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const int c = cells[static_cast<size_t>(y * size + x)];
        img.setPixel(x, y, c < 0 ? 0u : palette[c]);
      }
    return img;
  }

  IconImage ToIconImage(const QVector<QRgb>& palette) const {
    IconImage icon;
    icon.width = icon.height = size;
    icon.bitsPerPixel = 4;
    icon.palette = palette;
    for (int c : cells) {
      icon.indices.push_back(static_cast<unsigned char>(std::max(c, 0)));
      icon.transparent.push_back(c < 0);
    }
    return icon;
  }
};

// Body with the corner pixels of its black outline cut, so it reads round.
void PixelBody(PixelGrid& g, int x0, int y0, int x1, int y1) {
  g.Fill(x0, y0, x1, y1, kBlack);
  g.Fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, kNavy);
  for (auto [x, y, ix, iy] : {std::array{x0, y0, x0 + 1, y0 + 1}, std::array{x1, y0, x1 - 1, y0 + 1},
                              std::array{x0, y1, x0 + 1, y1 - 1}, std::array{x1, y1, x1 - 1, y1 - 1}}) {
    g.Set(x, y, -1);
    g.Set(ix, iy, kBlack);
  }
}

PixelGrid PixelIcon32() {
  PixelGrid g(32);
  // Shadow to the lower right, then the body over it.
  g.Fill(7, 3, 27, 30, kGrey);
  g.Set(27, 3, -1);
  g.Set(7, 30, -1);
  PixelBody(g, 5, 1, 25, 28);
  // Display with a shaded top edge and a lone zero.
  g.Fill(8, 4, 22, 9, kWhite);
  g.Fill(8, 4, 22, 4, kSilver);
  g.Fill(8, 4, 8, 9, kSilver);
  g.Fill(18, 5, 20, 8, kBlack);
  g.Set(19, 6, kWhite);
  g.Set(19, 7, kWhite);
  // Four rows of four keys.
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      const int x = 8 + 4 * col;
      const int y = 12 + 4 * row;
      g.Fill(x, y, x + 2, y + 1, kSilver);
      g.Fill(x, y + 2, x + 2, y + 2, kGrey);
      g.Set(x, y, kWhite);
    }
  return g;
}

PixelGrid PixelIcon16() {
  PixelGrid g(16);
  g.Fill(3, 1, 13, 15, kGrey);
  g.Set(13, 1, -1);
  g.Set(3, 15, -1);
  PixelBody(g, 2, 0, 12, 14);
  g.Fill(4, 2, 10, 4, kWhite);
  g.Fill(4, 2, 10, 2, kSilver);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) g.Set(4 + 2 * col, 6 + 2 * row, kSilver);
  return g;
}

QPainterPath Rounded(const QRectF& r, double radius) {
  QPainterPath p;
  p.addRoundedRect(r, radius, radius);
  return p;
}

// The same design drawn smoothly, in units of 1/32 of the icon.
QImage SmoothIcon(int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  const double px = 32.0 / size;  // one device pixel in icon units

  const QRectF body(5, 1, 21, 28);
  // Soft shadow: a few widening, faint copies.
  for (int i = 0; i < 6; ++i) {
    const double grow = i * 0.35;
    p.fillPath(Rounded(body.translated(2.0, 2.0).adjusted(-grow, -grow, grow, grow), 2.2 + grow),
               QColor(70, 70, 70, 34));
  }
  QLinearGradient navy(body.topLeft(), body.bottomRight());
  navy.setColorAt(0.0, QColor(36, 52, 170));
  navy.setColorAt(0.5, QColor(10, 20, 128));
  navy.setColorAt(1.0, QColor(0, 4, 96));
  const QPainterPath bodyPath = Rounded(body, 2.2);
  p.fillPath(bodyPath, navy);
  p.fillPath(bodyPath.subtracted(bodyPath.translated(0.5, 0.5)), QColor(140, 160, 255, 120));
  p.setPen(QPen(QColor(0, 0, 40), std::max(px, 0.35)));
  p.setBrush(Qt::NoBrush);
  p.drawPath(Rounded(body.adjusted(px / 2, px / 2, -px / 2, -px / 2), 2.2));

  const QRectF display(8, 4, 15, 6);
  const QPainterPath displayPath = Rounded(display, 0.7);
  QLinearGradient screen(display.topLeft(), display.bottomLeft());
  screen.setColorAt(0.0, QColor(236, 240, 244));
  screen.setColorAt(1.0, QColor(255, 255, 255));
  p.fillPath(displayPath, screen);
  p.fillPath(displayPath.subtracted(displayPath.translated(0.6, 0.6)), QColor(120, 130, 150, 140));
  p.setPen(QPen(QColor(30, 30, 30), 0.9));
  p.drawEllipse(QRectF(18.45, 5.45, 2.1, 3.1));

  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      const QRectF key(8 + 4 * col, 12 + 4 * row, 3, 3);
      const QPainterPath keyPath = Rounded(key, 0.6);
      QLinearGradient grey(key.topLeft(), key.bottomLeft());
      grey.setColorAt(0.0, QColor(238, 238, 238));
      grey.setColorAt(1.0, QColor(160, 160, 160));
      p.fillPath(keyPath.translated(0.3, 0.4), QColor(0, 0, 30, 110));
      p.fillPath(keyPath, grey);
      p.setPen(QPen(QColor(96, 96, 104), std::max(px * 0.8, 0.2)));
      p.drawPath(keyPath);
    }
  p.end();
  return img.convertToFormat(QImage::Format_ARGB32);
}

// The hand, drawn pixel by pixel. K black outline, W white, S light shading,
// B blue cuff, D its dark edge, L its highlight.
constexpr const char* kHandRows[32] = {
    "...........KKK..................",
    "..........KWWWK.................",
    ".........KWWWWSK................",
    ".........KWWWWSK................",
    ".........KWWWWSK................",
    ".........KWWWWSK................",
    ".........KWWWWSK................",
    ".........KWWWWSKKKK.............",
    ".........KWWWWSKWWSKKKK.........",
    ".........KWWWWSKWWSKWWSKKK......",
    ".........KWWWWSKWWSKWWSKWSK.....",
    "....KKK..KWWWWWKWWWKWWSKWSK.....",
    "...KWWWK.KWWWWWWWWWKWWWKWSK.....",
    "...KWWWWKKWWWWWWWWWWWWWKWSK.....",
    "....KWWWWWWWWWWWWWWWWWWWWSK.....",
    ".....KWWWWWWWWWWWWWWWWWWWSK.....",
    "......KWWWWWWWWWWWWWWWWWWSK.....",
    ".......KWWWWWWWWWWWWWWWWWSK.....",
    "........KWWWWWWWWWWWWWWWSK......",
    ".........KWWWWWWWWWWWWWWSK......",
    "..........KWWWWWWWWWWWWSK.......",
    "..........KWWWWWWWWWWWWSK.......",
    ".........KKKKKKKKKKKKKKKKK......",
    ".........KLLLLLLLLLLLLLLLK......",
    ".........KBBBBBBBBBBBBBBDK......",
    ".........KBBBBBBBBBBBBBBDK......",
    ".........KDDDDDDDDDDDDDDDK......",
    ".........KKKKKKKKKKKKKKKKK......",
    "................................",
    "................................",
    "................................",
    "................................",
};

// Palette of the pointer: the colours above, then unused black entries.
const QVector<QRgb> kHandPalette = {
    0xFF000000, 0xFFFFFFFF, 0xFFC8CCD4, 0xFF2D5FD2, 0xFF132E78, 0xFF78A4F0, 0xFF000000, 0xFF000000,
    0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
};

PixelGrid HandGrid() {
  const std::map<char, int> index = {{'K', 0}, {'W', 1}, {'S', 2}, {'B', 3}, {'D', 4}, {'L', 5}};
  PixelGrid g(32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const char c = kHandRows[y][x];
      if (c != '.') g.Set(x, y, index.at(c));
    }
  return g;
}

constexpr QRgb kPanelNavy = 0xFF000080;

}  // namespace

QImage DrawWindowIcon(int size) {
  if (size == 16) return PixelIcon16().ToImage(kIconPalette);
  if (size == 32) return PixelIcon32().ToImage(kIconPalette);
  return SmoothIcon(size);
}

IconImage WindowIcon16Colours() { return PixelIcon32().ToIconImage(kIconPalette); }

IconImage HandCursorImage() { return HandGrid().ToIconImage(kHandPalette); }

QImage DrawBackArrow() {
  QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  // Shaft rising on the right and bending over to the left, where the head
  // points back.
  QPainterPath shaft;
  shaft.moveTo(12.2, 12.9);
  shaft.cubicTo(13.8, 8.8, 12.2, 5.4, 6.4, 5.4);
  QPainterPathStroker stroker;
  stroker.setWidth(3.4);
  stroker.setCapStyle(Qt::RoundCap);
  QPainterPath arrow = stroker.createStroke(shaft);
  QPainterPath head;
  head.moveTo(0.9, 5.4);
  head.lineTo(7.2, 0.6);
  head.lineTo(7.2, 10.2);
  head.closeSubpath();
  arrow = arrow.united(head).simplified();

  QLinearGradient green(QPointF(0, 1), QPointF(0, 15));
  green.setColorAt(0.0, QColor(120, 222, 110));
  green.setColorAt(0.5, QColor(52, 170, 60));
  green.setColorAt(1.0, QColor(24, 120, 36));
  p.fillPath(arrow, green);
  p.setPen(QPen(QColor(10, 70, 20), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arrow);
  p.end();

  // Shown on the window, where pure white would punch a hole.
  QImage out = img.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      if ((out.pixel(x, y) & 0x00FFFFFFu) == 0x00FFFFFFu && qAlpha(out.pixel(x, y)))
        out.setPixel(x, y, qRgba(254, 254, 254, qAlpha(out.pixel(x, y))));
  return out;
}

std::vector<IconImage> BackArrowImages() {
  const QImage arrow = DrawBackArrow();

  // 8 bits: one-bit transparency, so the soft edge is blended over the panel.
  IconImage indexed;
  indexed.width = indexed.height = 16;
  indexed.bitsPerPixel = 8;
  std::vector<QRgb> colours;
  std::vector<QRgb> flat;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const QRgb c = arrow.pixel(x, y);
      const int a = qAlpha(c);
      const bool clear = a < 128;
      indexed.transparent.push_back(clear);
      auto blend = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
      const QRgb solid = qRgb(blend(qRed(c), qRed(kPanelNavy)), blend(qGreen(c), qGreen(kPanelNavy)),
                              blend(qBlue(c), qBlue(kPanelNavy)));
      flat.push_back(clear ? 0xFF000000u : solid);
      colours.push_back(flat.back());
    }
  std::sort(colours.begin(), colours.end());
  colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
  // Black first: the transparent pixels use index 0.
  colours.erase(std::remove(colours.begin(), colours.end(), 0xFF000000u), colours.end());
  colours.insert(colours.begin(), 0xFF000000u);
  if (colours.size() > 256) throw std::logic_error("too many arrow colours");
  indexed.palette = QVector<QRgb>(colours.begin(), colours.end());
  while (indexed.palette.size() < 256) indexed.palette.push_back(0xFF000000u);
  for (QRgb c : flat) {
    const auto it = std::lower_bound(colours.begin() + 1, colours.end(), c);
    indexed.indices.push_back(
        c == 0xFF000000u ? 0 : static_cast<unsigned char>(it - colours.begin()));
  }

  IconImage full;
  full.width = full.height = 16;
  full.bitsPerPixel = 32;
  full.argb = arrow;
  return {indexed, full};
}

}  // namespace skingen
