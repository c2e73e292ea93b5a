#pragma once

// Integer-only drawing for the generated pictures. Shapes are tested at
// 8 x 8 sample points per pixel on a grid of 1/64 pixel, coverage is the
// count of samples inside, and colours are mixed with integer arithmetic, so
// a picture comes out bit for bit the same on every machine: no floating
// point, no library maths and no CPU-specific code paths are involved.

#include <QImage>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace skingen::raster {

constexpr int64_t kUnit = 64;    // grid units per pixel
constexpr int64_t kSamples = 8;  // sample points per pixel along each axis

struct Point {
  int64_t x;
  int64_t y;
};

// Half-open box in grid units.
struct Box {
  int64_t x0, y0, x1, y1;
};

// The box grown by d all round (shrunk for d < 0), and moved.
Box Grown(Box box, int64_t d);
Box Shifted(Box box, int64_t dx, int64_t dy);

// A region: which grid points are inside, and a box that holds them all.
struct Shape {
  std::function<bool(Point)> inside;
  Box bounds;
};

Shape Rect(Box box);
// A rectangle with corners rounded to `radius`.
Shape RoundedRect(Box box, int64_t radius);
// Points at most `radius` from `centre`.
Shape Disc(Point centre, int64_t radius);
// Axis-aligned ellipse.
Shape Ellipse(Point centre, int64_t rx, int64_t ry);
// A convex polygon, grown (offset > 0) or shrunk (offset < 0) by the
// distance |offset| with rounded corners.
Shape ConvexPolygon(std::vector<Point> corners, int64_t offset = 0);
// Any polygon, inside by the even-odd rule.
Shape Polygon(std::vector<Point> corners);

Shape Union(Shape a, Shape b);
Shape Intersection(Shape a, Shape b);
Shape Minus(Shape a, Shape b);
Shape Translated(Shape shape, int64_t dx, int64_t dy);
// The part of `shape` not covered by itself moved by (dx, dy): with a
// positive offset, a band along the top and left edges.
Shape EdgeBand(const Shape& shape, int64_t dx, int64_t dy);

// A straight-alpha colour, 0 to 255 a channel.
struct Rgba {
  int r, g, b, a = 255;
};

// Colour at a grid point (a pixel's centre).
using Paint = std::function<Rgba(Point)>;

Paint Solid(Rgba colour);
// Colour stops at positions 0 to 1000 along the line from `from` to `to`;
// points beyond either end take the end colour.
Paint LinearGradient(Point from, Point to, std::vector<std::pair<int, Rgba>> stops);

// Rounded integer division (halves away from zero).
int64_t DivRound(int64_t numerator, int64_t denominator);

class Canvas {
 public:
  Canvas(int width, int height);

  // Paints `paint` over the canvas where `shape` covers it (source over).
  void Fill(const Shape& shape, const Paint& paint);

  // ARGB32 with straight alpha.
  QImage Image() const;

 private:
  struct Premultiplied {
    int r = 0, g = 0, b = 0, a = 0;
  };
  int width_;
  int height_;
  std::vector<Premultiplied> pixels_;
};

}  // namespace skingen::raster
