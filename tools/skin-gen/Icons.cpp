#include "Icons.h"


#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>

#include "Raster.h"

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

  // Every cell as a square of `scale` x `scale` pixels.
  PixelGrid Scaled(int scale) const {
    PixelGrid big(size * scale);
    for (int y = 0; y < big.size; ++y)
      for (int x = 0; x < big.size; ++x) big.Set(x, y, cells[static_cast<size_t>((y / scale) * size + x / scale)]);
    return big;
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

// The same design drawn smoothly. Lengths are in hundredths of the icon's
// 32-unit grid.
QImage SmoothIcon(int size) {
  using namespace raster;
  auto u = [size](int64_t v) { return DivRound(v * size * kUnit, 3200); };
  auto box = [&u](int x, int y, int w, int h) { return Box{u(x), u(y), u(x + w), u(y + h)}; };
  Canvas canvas(size, size);

  const Box body = box(500, 100, 2100, 2800);
  const int64_t bodyRadius = u(220);
  // Soft shadow: a few widening, faint copies.
  for (int i = 0; i < 6; ++i) {
    const int64_t grow = u(35 * i);
    canvas.Fill(RoundedRect(Grown(Shifted(body, u(200), u(200)), grow), bodyRadius + grow),
                Solid({70, 70, 70, 34}));
  }
  const Shape bodyShape = RoundedRect(body, bodyRadius);
  canvas.Fill(bodyShape, LinearGradient({body.x0, body.y0}, {body.x1, body.y1},
                                        {{0, {36, 52, 170}}, {500, {10, 20, 128}}, {1000, {0, 4, 96}}}));
  canvas.Fill(EdgeBand(bodyShape, u(50), u(50)), Solid({140, 160, 255, 120}));
  // Dark rim: one device pixel, or 0.35 units on the largest icons.
  const int64_t rim = std::max(kUnit, u(35));
  canvas.Fill(Minus(bodyShape, RoundedRect(Grown(body, -rim), bodyRadius - rim)), Solid({0, 0, 40}));

  const Box display = box(800, 400, 1500, 600);
  const Shape displayShape = RoundedRect(display, u(70));
  canvas.Fill(displayShape, LinearGradient({0, display.y0}, {0, display.y1},
                                           {{0, {236, 240, 244}}, {1000, {255, 255, 255}}}));
  canvas.Fill(EdgeBand(displayShape, u(60), u(60)), Solid({120, 130, 150, 140}));
  // The lone zero: an elliptic ring.
  const Point zero{u(1950), u(700)};
  canvas.Fill(Minus(Ellipse(zero, u(150), u(200)), Ellipse(zero, u(60), u(110))), Solid({30, 30, 30}));

  // Keys with a rim of 0.8 device pixels, or 0.2 units on the largest icons.
  const int64_t keyRim = std::max(kUnit * 8 / 10, u(20));
  const int64_t keyRadius = u(60);
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      const Box key = box(800 + 400 * col, 1200 + 400 * row, 300, 300);
      canvas.Fill(RoundedRect(Shifted(key, u(30), u(40)), keyRadius), Solid({0, 0, 30, 110}));
      canvas.Fill(RoundedRect(key, keyRadius),
                  LinearGradient({0, key.y0}, {0, key.y1}, {{0, {238, 238, 238}}, {1000, {160, 160, 160}}}));
      canvas.Fill(Minus(RoundedRect(Grown(key, keyRim / 2), keyRadius + keyRim / 2),
                        RoundedRect(Grown(key, -keyRim / 2), std::max<int64_t>(0, keyRadius - keyRim / 2))),
                  Solid({96, 96, 104}));
    }
  return canvas.Image();
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

std::vector<IconImage> HandCursorImages() {
  return {HandGrid().ToIconImage(kHandPalette), HandGrid().Scaled(2).ToIconImage(kHandPalette)};
}

QImage DrawBackArrow(int scale) {
  using namespace raster;
  // Lengths in eighths of a pixel of the 16 x 16 image.
  auto e = [scale](int64_t v) { return v * scale * kUnit / 8; };

  // The shaft rises from a round end at the bottom right and bends over to
  // the left, where the head points back. Each part grown (d > 0) or shrunk
  // (d < 0) by d, so the dark rim is the grown arrow less the shrunk one.
  auto arrow = [&e](int64_t d) {
    const Point centre{e(52), e(100)};
    const Shape bend = Intersection(Minus(Disc(centre, e(70 + d)), Disc(centre, e(42 - d))),
                                    Rect({e(48), 0, e(128), e(100)}));
    const Shape foot = Union(Rect({e(94 - d), e(99), e(122 + d), e(106)}), Disc({e(108), e(106)}, e(14 + d)));
    const Shape head = ConvexPolygon({{e(6), e(44)}, {e(56), e(6)}, {e(56), e(82)}}, e(d));
    return Union(Union(bend, foot), head);
  };

  Canvas canvas(16 * scale, 16 * scale);
  canvas.Fill(arrow(4), Solid({10, 70, 20}));
  canvas.Fill(arrow(-4), LinearGradient({0, e(8)}, {0, e(120)},
                                        {{0, {120, 222, 110}}, {500, {52, 170, 60}}, {1000, {24, 120, 36}}}));
  return canvas.Image();
}

std::vector<IconImage> BackArrowImages() {
  const QImage arrow = DrawBackArrow(1);

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

  auto full = [](const QImage& argb) {
    IconImage image;
    image.width = argb.width();
    image.height = argb.height();
    image.bitsPerPixel = 32;
    image.argb = argb;
    return image;
  };
  return {indexed, full(arrow), full(DrawBackArrow(2))};
}

}  // namespace skingen
