#include "Raster.h"

#include <algorithm>
#include <stdexcept>

namespace skingen::raster {
namespace {

int64_t Square(int64_t v) { return v * v; }

bool InBox(const Box& b, Point p) { return p.x >= b.x0 && p.x < b.x1 && p.y >= b.y0 && p.y < b.y1; }

// Squared distance from p to the segment a-b, compared with d squared
// without dividing: true when p lies within d of the segment.
bool NearSegment(Point p, Point a, Point b, int64_t d) {
  const int64_t ex = b.x - a.x, ey = b.y - a.y;
  const int64_t px = p.x - a.x, py = p.y - a.y;
  const int64_t along = px * ex + py * ey;
  const int64_t length2 = ex * ex + ey * ey;
  if (along <= 0) return Square(px) + Square(py) <= Square(d);
  if (along >= length2) return Square(p.x - b.x) + Square(p.y - b.y) <= Square(d);
  const int64_t cross = px * ey - py * ex;
  // cross^2 / length2 <= d^2. Since length <= |ex| + |ey|, a cross product
  // beyond d (|ex| + |ey|) is far outside, and below it the squares fit.
  if (std::abs(cross) > d * (std::abs(ex) + std::abs(ey))) return false;
  return Square(cross) <= Square(d) * length2;
}

// The smallest box that holds every corner.
Box BoundsOf(const std::vector<Point>& corners) {
  if (corners.size() < 3) throw std::logic_error("a polygon needs three corners");
  Box box{corners[0].x, corners[0].y, corners[0].x + 1, corners[0].y + 1};
  for (Point c : corners)
    box = {std::min(box.x0, c.x), std::min(box.y0, c.y), std::max(box.x1, c.x + 1), std::max(box.y1, c.y + 1)};
  return box;
}

}  // namespace

Box Grown(Box b, int64_t d) { return {b.x0 - d, b.y0 - d, b.x1 + d, b.y1 + d}; }

Box Shifted(Box b, int64_t dx, int64_t dy) { return {b.x0 + dx, b.y0 + dy, b.x1 + dx, b.y1 + dy}; }

int64_t DivRound(int64_t numerator, int64_t denominator) {
  if (denominator < 0) return DivRound(-numerator, -denominator);
  return numerator >= 0 ? (2 * numerator + denominator) / (2 * denominator)
                        : -((-2 * numerator + denominator) / (2 * denominator));
}

Shape Rect(Box box) {
  return {[box](Point p) { return InBox(box, p); }, box};
}

Shape RoundedRect(Box box, int64_t radius) {
  return {[box, radius](Point p) {
            if (!InBox(box, p)) return false;
            const int64_t dx = std::max({box.x0 + radius - p.x, int64_t{0}, p.x - (box.x1 - radius)});
            const int64_t dy = std::max({box.y0 + radius - p.y, int64_t{0}, p.y - (box.y1 - radius)});
            return Square(dx) + Square(dy) <= Square(radius);
          },
          box};
}

Shape Disc(Point centre, int64_t radius) { return Ellipse(centre, radius, radius); }

Shape Ellipse(Point centre, int64_t rx, int64_t ry) {
  return {[centre, rx, ry](Point p) {
            return Square(p.x - centre.x) * Square(ry) + Square(p.y - centre.y) * Square(rx) <=
                   Square(rx) * Square(ry);
          },
          {centre.x - rx, centre.y - ry, centre.x + rx + 1, centre.y + ry + 1}};
}

Shape ConvexPolygon(std::vector<Point> corners, int64_t offset) {
  const Box box = BoundsOf(corners);
  auto inside = [corners = std::move(corners), offset](Point p) {
    const size_t n = corners.size();
    bool positive = false, negative = false, near = false;
    for (size_t i = 0; i < n; ++i) {
      const Point a = corners[i], b = corners[(i + 1) % n];
      const int64_t cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
      positive |= cross > 0;
      negative |= cross < 0;
      if (offset != 0) near |= NearSegment(p, a, b, std::abs(offset));
    }
    const bool in = !(positive && negative);
    return offset > 0 ? in || near : in && !near;
  };
  return {inside, Grown(box, std::max(offset, int64_t{0}))};
}

Shape Polygon(std::vector<Point> corners) {
  const Box box = BoundsOf(corners);
  auto inside = [corners = std::move(corners)](Point p) {
    // Counts the edges that cross the horizontal line through p left of p.
    const size_t n = corners.size();
    bool in = false;
    for (size_t i = 0; i < n; ++i) {
      const Point a = corners[i], b = corners[(i + 1) % n];
      if ((a.y > p.y) == (b.y > p.y)) continue;
      // Left of p: the cross product is negative for an edge that goes
      // down (y growing), positive for one that goes up. No division.
      const int64_t cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
      if ((b.y > a.y) == (cross < 0)) in = !in;
    }
    return in;
  };
  return {inside, box};
}

Shape Union(Shape a, Shape b) {
  const Box box{std::min(a.bounds.x0, b.bounds.x0), std::min(a.bounds.y0, b.bounds.y0),
                std::max(a.bounds.x1, b.bounds.x1), std::max(a.bounds.y1, b.bounds.y1)};
  return {[a = std::move(a.inside), b = std::move(b.inside)](Point p) { return a(p) || b(p); }, box};
}

Shape Intersection(Shape a, Shape b) {
  const Box box{std::max(a.bounds.x0, b.bounds.x0), std::max(a.bounds.y0, b.bounds.y0),
                std::min(a.bounds.x1, b.bounds.x1), std::min(a.bounds.y1, b.bounds.y1)};
  return {[a = std::move(a.inside), b = std::move(b.inside)](Point p) { return a(p) && b(p); }, box};
}

Shape Minus(Shape a, Shape b) {
  return {[a = std::move(a.inside), b = std::move(b.inside)](Point p) { return a(p) && !b(p); }, a.bounds};
}

Shape Translated(Shape shape, int64_t dx, int64_t dy) {
  return {[in = std::move(shape.inside), dx, dy](Point p) { return in({p.x - dx, p.y - dy}); },
          Shifted(shape.bounds, dx, dy)};
}

Shape EdgeBand(const Shape& shape, int64_t dx, int64_t dy) {
  return Minus(shape, Translated(shape, dx, dy));
}

Paint Solid(Rgba colour) {
  return [colour](Point) { return colour; };
}

Paint LinearGradient(Point from, Point to, std::vector<std::pair<int, Rgba>> stops) {
  if (stops.empty()) throw std::logic_error("a gradient needs a stop");
  return [from, to, stops = std::move(stops)](Point p) {
    const int64_t ex = to.x - from.x, ey = to.y - from.y;
    const int64_t along = (p.x - from.x) * ex + (p.y - from.y) * ey;
    const int64_t t = std::clamp<int64_t>(DivRound(along * 1000, ex * ex + ey * ey), 0, 1000);
    if (t <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i) {
      const int64_t t0 = stops[i - 1].first, t1 = stops[i].first;
      if (t > t1) continue;
      const Rgba& c0 = stops[i - 1].second;
      const Rgba& c1 = stops[i].second;
      auto mix = [&](int v0, int v1) { return static_cast<int>(v0 + DivRound((v1 - v0) * (t - t0), t1 - t0)); };
      return Rgba{mix(c0.r, c1.r), mix(c0.g, c1.g), mix(c0.b, c1.b), mix(c0.a, c1.a)};
    }
    return stops.back().second;
  };
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

void Canvas::Fill(const Shape& shape, const Paint& paint) {
  const int64_t x0 = std::max<int64_t>(0, shape.bounds.x0 / kUnit - 1);
  const int64_t y0 = std::max<int64_t>(0, shape.bounds.y0 / kUnit - 1);
  const int64_t x1 = std::min<int64_t>(width_, shape.bounds.x1 / kUnit + 1);
  const int64_t y1 = std::min<int64_t>(height_, shape.bounds.y1 / kUnit + 1);
  constexpr int64_t kStep = kUnit / kSamples;
  for (int64_t y = y0; y < y1; ++y)
    for (int64_t x = x0; x < x1; ++x) {
      int64_t covered = 0;
      for (int64_t j = 0; j < kSamples; ++j)
        for (int64_t i = 0; i < kSamples; ++i)
          covered += shape.inside({x * kUnit + i * kStep + kStep / 2, y * kUnit + j * kStep + kStep / 2});
      if (covered == 0) continue;
      const Rgba c = paint({x * kUnit + kUnit / 2, y * kUnit + kUnit / 2});
      const int a = static_cast<int>(DivRound(c.a * covered, kSamples * kSamples));
      Premultiplied& d = pixels_[static_cast<size_t>(y * width_ + x)];
      auto over = [a](int source, int dest) {
        return static_cast<int>(DivRound(source * a, 255) + DivRound(dest * (255 - a), 255));
      };
      d = {over(c.r, d.r), over(c.g, d.g), over(c.b, d.b), a + static_cast<int>(DivRound(d.a * (255 - a), 255))};
    }
}

QImage Canvas::Image() const {
  QImage image(width_, height_, QImage::Format_ARGB32);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Premultiplied& p = pixels_[static_cast<size_t>(y * width_ + x)];
      auto straight = [&p](int v) { return p.a ? std::min(255, static_cast<int>(DivRound(v * 255, p.a))) : 0; };
      image.setPixel(x, y, qRgba(straight(p.r), straight(p.g), straight(p.b), p.a));
    }
  return image;
}

}  // namespace skingen::raster
