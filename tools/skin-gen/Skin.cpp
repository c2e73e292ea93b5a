#include "Skin.h"

#include <QBrush>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPen>
#include <QRadialGradient>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "LayoutQt.h"
#include "Noise.h"
#include "Raster.h"
#include "SkinLayout.h"

namespace skingen {
namespace {

using namespace layout;

constexpr QRgb kWhite = 0xFFFFFFFFu;
// Colour the body's outermost pixels blend towards, so the outline never
// fades into white (which would turn into a ragged fringe of holes).
const QColor kRim(8, 20, 46);
const QColor kKeyFace(0x0A, 0x44, 0x8C);
// Key glyphs: near white (pure white would be a hole) over a navy shadow.
const QColor kGlyph(233, 241, 251);
const QColor kGlyphShadow(2, 18, 44, 170);

// Inclusive pixel rectangle to edge coordinates.
QRectF Edges(const QRect& r) { return QRectF(r.x(), r.y(), r.width(), r.height()); }

QPainterPath RoundedRect(const QRectF& r, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

// Closed polygon whose corners are rounded with the given radius.
QPainterPath RoundedPolygon(const std::vector<QPointF>& pts, double radius) {
  QPainterPath path;
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const QPointF prev = pts[(i + n - 1) % n];
    const QPointF cur = pts[i];
    const QPointF next = pts[(i + 1) % n];
    auto toward = [&](QPointF to) {
      const QPointF d = to - cur;
      const double len = std::hypot(d.x(), d.y());
      return cur + d * (std::min(radius, len / 2) / len);
    };
    const QPointF a = toward(prev);
    const QPointF b = toward(next);
    if (i == 0)
      path.moveTo(a);
    else
      path.lineTo(a);
    path.quadTo(cur, b);
  }
  path.closeSubpath();
  return path;
}

// Band of `shape` along the edges that face away from `offset`: with a
// positive offset, the top and left edges.
QPainterPath EdgeBand(const QPainterPath& shape, QPointF offset) {
  return shape.subtracted(shape.translated(offset));
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The frame's moulded, slightly grainy dark-blue plastic, one texel per
// device pixel.
QImage FrameTexture(int scale) {
  QImage tex(kWidth * scale, kHeight * scale, QImage::Format_RGB32);
  const QColor top(30, 56, 106);
  const QColor bottom(15, 32, 70);
  for (int y = 0; y < tex.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(tex.scanLine(y));
    const double v = (y + 0.5) / scale;
    const QColor base = Mix(top, bottom, std::clamp(v / kHeight, 0.0, 1.0));
    for (int x = 0; x < tex.width(); ++x) {
      const double u = (x + 0.5) / scale;
      const double grain = 0.55 * ValueNoise(u, v, 1.0, 11) + 0.30 * ValueNoise(u, v, 2.3, 23) +
                           0.15 * ValueNoise(u, v, 6.0, 37);
      // A broad, soft sheen running diagonally across the upper left.
      const double d = (u * 0.55 + v - 150.0) / 110.0;
      const double sheen = 0.10 * std::exp(-d * d);
      const double f = 1.0 + 0.085 * grain + sheen;
      line[x] = qRgb(std::clamp(static_cast<int>(std::lround(base.red() * f)), 0, 255),
                     std::clamp(static_cast<int>(std::lround(base.green() * f)), 0, 255),
                     std::clamp(static_cast<int>(std::lround(base.blue() * f)), 0, 255));
    }
  }
  return tex;
}

// Outline of `text` on a baseline at y = 0, read straight from the font file
// (unhinted, so it scales exactly between the 1x and 2x drawings).
QPainterPath TextPath(const QString& text, const QString& fontFile, double pixelSize) {
  const QRawFont font(fontFile, pixelSize, QFont::PreferNoHinting);
  if (!font.isValid()) throw std::runtime_error("cannot read font " + fontFile.toStdString());
  const QList<quint32> glyphs = font.glyphIndexesForString(text);
  const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
  QPainterPath path;
  QPointF pen(0, 0);
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    path.addPath(font.pathForGlyph(glyphs[i]).translated(pen));
    pen += advances[i];
  }
  return path;
}

// The caption font of the keys as the window's labels get it: the face of
// `fontFile`, registered with the font database, at `pixelSize` pixels.
// Hinting and subpixel antialiasing stay off so that the drawing does not
// depend on the machine's font settings.
QFont CaptionFont(const QString& fontFile, int pixelSize) {
  static QHash<QString, QString> families;
  auto family = families.constFind(fontFile);
  if (family == families.constEnd()) {
    const QStringList names =
        QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(fontFile));
    if (names.isEmpty()) throw std::runtime_error("cannot read font " + fontFile.toStdString());
    family = families.insert(fontFile, names.first());
  }
  QFont font(*family);
  font.setPixelSize(pixelSize);
  font.setWeight(QFont::Normal);
  font.setStyle(QFont::StyleNormal);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(
      QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias | QFont::NoFontMerging));
  // The family name could also match another installed face; insist on the file's.
  if (QRawFont::fromFont(font).fontTable("head") !=
      QRawFont(fontFile, pixelSize, QFont::PreferNoHinting).fontTable("head"))
    throw std::runtime_error("font " + fontFile.toStdString() + " resolves to another face");
  return font;
}

// Draws the caption of `label` where the window's label draws it on hover
// (as QPainter::drawText(rect, alignment, caption) lays it out: one line, its
// advance centred in the rectangle or at its left edge, its top at the
// rectangle's top), in the glyph colour over a shadow one pixel down and
// right. Laying it out in the skin's own coordinates under the painter's
// scale makes the 2x picture's glyphs the captions as they come out at a
// device pixel ratio of 2.
void DrawCaptionGlyph(QPainter& p, const quintora::layout::Label& label, const SkinFonts& fonts) {
  QTextLayout layout(QString::fromUtf8(label.caption),
                     CaptionFont(fonts.captions, quintora::PointsToPixels(label.font.points)));
  layout.setCacheEnabled(true);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(0x01000000);  // no wrapping
  layout.endLayout();

  const QRectF r = quintora::PixelRect(label.rect);
  const bool alignLeft = label.align == quintora::layout::Align::Left;
  const double dx = alignLeft ? 0.0 : (r.width() - line.horizontalAdvance()) / 2;
  const QPointF at(r.left() + dx, r.top());
  p.save();
  p.setPen(kGlyphShadow);
  layout.draw(&p, at + QPointF(1.0, 1.0));
  // The label paints inside its rectangle only.
  p.setClipRect(r);
  p.setPen(kGlyph);
  layout.draw(&p, at);
  p.restore();
}

void DrawKey(QPainter& p, const Key& key, const SkinFonts& fonts) {
  const QRectF r = Edges(key.face);
  const QPainterPath body = RoundedRect(r, 6.0);

  // Soft shadow on the face below the key.
  p.fillPath(RoundedRect(r.adjusted(-0.5, 1.0, 0.5, 3.0), 7.0), QColor(16, 42, 86, 40));
  p.fillPath(RoundedRect(r.adjusted(0, 0.5, 0, 1.8), 6.5), QColor(10, 30, 70, 80));

  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  fill.setColorAt(0.0, QColor(26, 88, 164));
  fill.setColorAt(0.28, QColor(13, 73, 146));
  fill.setColorAt(0.5, kKeyFace);
  fill.setColorAt(1.0, QColor(7, 58, 124));
  p.fillPath(body, fill);

  // Bevel: a lit top-left rim and a shaded bottom-right one.
  p.fillPath(EdgeBand(body, {1.2, 1.2}), QColor(120, 170, 235, 95));
  p.fillPath(EdgeBand(body, {-1.2, -1.4}), QColor(2, 22, 58, 120));
  p.save();
  p.setPen(QPen(QColor(4, 28, 66), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawPath(RoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5.5));
  p.restore();

  DrawCaptionGlyph(p, key.label, fonts);
}

void DrawFace(QPainter& p) {
  const QRectF r = Edges(kFace);
  const QPainterPath face = RoundedRect(r, 10.0);
  const QPainterPath groove = RoundedRect(r.adjusted(-2.0, -2.0, 2.0, 2.0), 12.0);

  p.fillPath(groove, QColor(6, 20, 48, 150));
  p.fillPath(EdgeBand(groove, {-1.0, -1.0}), QColor(120, 160, 220, 70));

  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  fill.setColorAt(0.0, QColor(190, 218, 244));
  fill.setColorAt(1.0, QColor(152, 192, 230));
  p.fillPath(face, fill);

  // Subtle light pooling at the top left.
  QRadialGradient glow(r.left() + 80, r.top() + 30, 260);
  glow.setColorAt(0.0, QColor(255, 255, 255, 28));
  glow.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.fillPath(face, glow);

  // Recessed: shaded along the top and left, caught light along the bottom.
  p.fillPath(EdgeBand(face, {2.6, 2.6}), QColor(20, 50, 100, 40));
  p.fillPath(EdgeBand(face, {1.3, 1.3}), QColor(20, 50, 100, 55));
  p.fillPath(EdgeBand(face, {-1.0, -1.0}), QColor(240, 248, 255, 90));
}

void DrawDisplay(QPainter& p) {
  const QRectF strip = Edges(kDisplay);
  const QPainterPath bezel = RoundedRect(strip.adjusted(-2.5, -2.5, 2.5, 2.5), 5.5);
  p.fillPath(bezel, QColor(5, 14, 36, 200));
  p.fillPath(EdgeBand(bezel, {-1.0, -1.0}), QColor(130, 170, 230, 80));

  const QPainterPath lcd = RoundedRect(strip, 3.5);
  QLinearGradient fill(strip.topLeft(), strip.bottomLeft());
  fill.setColorAt(0.0, QColor(44, 38, 110));
  fill.setColorAt(1.0, QColor(36, 30, 94));
  p.fillPath(lcd, fill);
  p.fillPath(EdgeBand(lcd, {0, 2.4}), QColor(4, 2, 24, 70));
  p.fillPath(EdgeBand(lcd, {1.2, 1.2}), QColor(4, 2, 24, 90));
  p.fillPath(EdgeBand(lcd, {0, -1.0}), QColor(120, 110, 200, 60));

  // Faint glass reflection over the upper half.
  QLinearGradient glare(strip.topLeft(), QPointF(strip.left(), strip.center().y()));
  glare.setColorAt(0.0, QColor(200, 200, 255, 0));
  glare.setColorAt(0.35, QColor(200, 200, 255, 16));
  glare.setColorAt(1.0, QColor(200, 200, 255, 0));
  p.fillPath(RoundedRect(strip.adjusted(2, 2, -2, 0), 2.5), glare);
}

// A strip of four solar cells on the face above the keys.
void DrawSolarCells(QPainter& p) {
  const QRectF r = Edges(kSolarCells);
  const QPainterPath well = RoundedRect(r.adjusted(-2.0, -2.0, 2.0, 2.0), 4.0);
  p.fillPath(well, QColor(30, 58, 100, 150));
  p.fillPath(EdgeBand(well, {-1.0, -1.0}), QColor(245, 250, 255, 140));
  const double gap = 1.5;
  const double w = (r.width() - 3 * gap) / 4;
  for (int i = 0; i < 4; ++i) {
    const QRectF cell(r.left() + i * (w + gap), r.top(), w, r.height());
    const QPainterPath path = RoundedRect(cell, 1.5);
    QLinearGradient fill(cell.topLeft(), cell.bottomRight());
    fill.setColorAt(0.0, QColor(86, 62, 82));
    fill.setColorAt(0.45, QColor(58, 38, 56));
    fill.setColorAt(1.0, QColor(40, 26, 40));
    p.fillPath(path, fill);
    p.save();
    p.setClipPath(path);
    p.setPen(QPen(QColor(120, 96, 118, 60), 0.6));
    for (double y = cell.top() + 3.0; y < cell.bottom(); y += 3.0)
      p.drawLine(QPointF(cell.left(), y), QPointF(cell.right(), y));
    p.restore();
  }
  // Glass reflection across the strip.
  QLinearGradient glare(r.topLeft(), QPointF(r.left() + 40, r.bottom() + 30));
  glare.setColorAt(0.0, QColor(255, 255, 255, 44));
  glare.setColorAt(0.45, QColor(255, 255, 255, 14));
  glare.setColorAt(0.7, QColor(255, 255, 255, 0));
  p.fillPath(RoundedRect(r, 1.5), glare);
}

// `shape` grown (d > 0) or shrunk (d < 0) by |d| all round.
QPainterPath Offset(const QPainterPath& shape, double d) {
  QPainterPathStroker stroker;
  stroker.setWidth(2.0 * std::abs(d));
  stroker.setJoinStyle(Qt::RoundJoin);
  const QPainterPath band = stroker.createStroke(shape);
  return (d > 0 ? shape.united(band) : shape.subtracted(band)).simplified();
}

// A light title tab raised out of the frame: it sits in a dark cut whose
// lower right lip catches the light (as the groove round the face does),
// and its cap has a bevel lit at the top left and shaded at the bottom
// right round a flat, even face, so the marks drawn over it read clearly.
void DrawTab(QPainter& p, const QPainterPath& tab) {
  const QPainterPath cut = Offset(tab, 1.6);
  p.fillPath(cut, QColor(3, 10, 30, 150));
  p.fillPath(EdgeBand(cut, {-1.0, -1.0}), QColor(130, 172, 235, 80));
  p.fillPath(tab.translated(0.7, 1.2), QColor(2, 8, 24, 110));

  const QRectF r = tab.boundingRect();
  // The lit side of the bevel is the wider one, as a cap lit from the top
  // left shows it.
  constexpr double kLit = 2.4;
  constexpr double kShaded = 1.6;
  p.fillPath(tab, QColor(170, 188, 218));
  p.fillPath(EdgeBand(tab, {kLit, kLit}), QColor(250, 252, 255));
  p.fillPath(EdgeBand(tab, {-kShaded, -kShaded}), QColor(84, 106, 148));

  const QPainterPath face =
      tab.intersected(tab.translated(kLit, kLit)).intersected(tab.translated(-kShaded, -kShaded));
  QLinearGradient fill(r.topLeft(), r.bottomLeft());
  fill.setColorAt(0.0, QColor(210, 223, 241));
  fill.setColorAt(0.5, QColor(186, 203, 230));
  fill.setColorAt(1.0, QColor(168, 188, 220));
  p.fillPath(face, fill);
  // A fine shade where the face meets the lit bevel, so the face reads as a
  // plateau of its own.
  p.fillPath(EdgeBand(face, {0.8, 0.8}), QColor(120, 142, 180, 90));
  // A soft sheen over the upper half of the face.
  QLinearGradient sheen(r.topLeft(), QPointF(r.left(), r.center().y()));
  sheen.setColorAt(0.0, QColor(255, 255, 255, 70));
  sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.fillPath(face, sheen);

  p.save();
  p.setPen(QPen(QColor(8, 22, 52), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawPath(tab);
  p.restore();
}

void DrawTabs(QPainter& p) {
  const QRectF m = Edges(kMinimiseTab);
  // Slanted on the side facing the close tab.
  DrawTab(p, RoundedPolygon({{m.left() + 0.5, m.top() + 0.5},
                             {m.right() - 6.5, m.top() + 0.5},
                             {m.right() - 0.5, m.bottom() - 0.5},
                             {m.left() + 0.5, m.bottom() - 0.5}},
                            3.0));
  DrawTab(p, RoundedRect(Edges(kCloseTab).adjusted(0.5, 0.5, -0.5, -0.5), 3.5));
}

void DrawLogo(QPainter& p, const SkinFonts& fonts) {
  QPainterPath text = TextPath(QStringLiteral("QUINTORA"), fonts.logo, 28);
  const QRectF target = Edges(kLogo);
  const QRectF box = text.boundingRect();
  const double k = std::min(target.width() / box.width(), target.height() / box.height());
  QTransform t;
  t.translate(target.center().x(), target.center().y());
  t.scale(k, k);
  t.translate(-box.center().x(), -box.center().y());
  text = t.map(text);

  p.fillPath(text.translated(0, 1.2), QColor(2, 10, 28, 170));
  p.fillPath(text.translated(0, -0.8), QColor(90, 130, 190, 90));
  QLinearGradient fill(target.topLeft(), target.bottomLeft());
  fill.setColorAt(0.0, QColor(218, 222, 228));
  fill.setColorAt(0.5, QColor(176, 182, 192));
  fill.setColorAt(1.0, QColor(140, 148, 160));
  p.fillPath(text, fill);
}

void DrawFrameRim(QPainter& p, const QPainterPath& body) {
  p.fillPath(EdgeBand(body, {2.0, 2.0}), QColor(130, 175, 240, 45));
  p.fillPath(EdgeBand(body, {1.0, 1.0}), QColor(150, 190, 245, 60));
  p.fillPath(EdgeBand(body, {-2.5, -2.5}), QColor(2, 10, 30, 70));
  p.save();
  p.setClipPath(body);
  p.setPen(QPen(kRim, 2.0));
  p.setBrush(Qt::NoBrush);
  p.drawPath(body);
  p.restore();
}

void PaintSkin(QPainter& p, const SkinFonts& fonts, int scale) {
  p.setRenderHint(QPainter::Antialiasing);
  const QPainterPath body = BodyOutline();

  QBrush texture(FrameTexture(scale));
  texture.setTransform(QTransform::fromScale(1.0 / scale, 1.0 / scale));
  p.fillPath(body, texture);

  DrawFace(p);
  DrawDisplay(p);
  DrawSolarCells(p);
  DrawTabs(p);
  for (const Key& key : kKeys) DrawKey(p, key, fonts);
  DrawLogo(p, fonts);
  DrawFrameRim(p, body);
}

// The body outline: the corners of its straight edges in pixels, clockwise
// from the top left, each rounded off with its radius; at the two inner
// corners (the foot of the raised top-right part and the step at the bottom
// right) the radius is a fillet. The painted outline (BodyOutline) and the
// pixel mask (BodyShape) are both made from it.
struct BodyCorner {
  int x, y, radius;
};
constexpr std::array<BodyCorner, 8> kBodyCorners = {{
    {0, 55, 14},         // top left
    {256, 55, 3},        // foot of the raised part (inner)
    {256, 0, 10},        // top left of the raised part
    {kWidth, 0, 70},     // top right
    {kWidth, 371, 16},   // bottom right, above the step
    {200, 371, 6},       // the step (inner)
    {200, kHeight, 10},  // bottom right of the part below the step
    {0, kHeight, 70},    // bottom left
}};

// How the outline rounds off corner i: the arc's centre and radius, the unit
// step (along x or y) of the edge that leaves the corner, and whether the
// outline turns right there (clockwise on the screen: an outer corner) or
// left (an inner corner, filleted).
struct CornerArc {
  QPoint corner, centre;
  int radius;
  QPoint out;
  bool outer;
};

QPoint Step(const BodyCorner& from, const BodyCorner& to) {
  return QPoint((to.x > from.x) - (to.x < from.x), (to.y > from.y) - (to.y < from.y));
}

CornerArc ArcAt(size_t i) {
  const size_t n = kBodyCorners.size();
  const BodyCorner& c = kBodyCorners[i];
  const QPoint in = Step(kBodyCorners[(i + n - 1) % n], c);
  const QPoint out = Step(c, kBodyCorners[(i + 1) % n]);
  const QPoint corner(c.x, c.y);
  return {corner, corner - c.radius * in + c.radius * out, c.radius, out, in.x() * out.y() > in.y() * out.x()};
}

// The angle of a unit step along x or y as QPainterPath::arcTo counts angles
// (degrees, counter-clockwise from the positive x axis, y pointing down).
int ArcAngle(QPoint step) {
  if (step.x() != 0) return step.x() > 0 ? 0 : 180;
  return step.y() < 0 ? 90 : 270;
}

// The body outline as an integer shape, in pixels times raster::kUnit: the
// straight-edged outline less each outer corner's rounding, plus each inner
// corner's fillet. Either is the box between the arc's centre and the
// corner, less the arc's disc.
raster::Shape BodyShape() {
  using namespace raster;
  auto grid = [](QPoint p) { return Point{p.x() * kUnit, p.y() * kUnit}; };
  std::vector<Point> corners;
  for (const BodyCorner& c : kBodyCorners) corners.push_back(grid({c.x, c.y}));
  Shape body = Polygon(std::move(corners));
  for (size_t i = 0; i < kBodyCorners.size(); ++i) {
    const CornerArc arc = ArcAt(i);
    const Point a = grid(arc.corner), c = grid(arc.centre);
    const Box box{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
    Shape rounding = Minus(Rect(box), Disc(c, arc.radius * kUnit));
    body = arc.outer ? Minus(std::move(body), std::move(rounding)) : Union(std::move(body), std::move(rounding));
  }
  return body;
}

// Which pixels of the 1x picture belong to the body: those the outline
// covers at least half, counted on the integer sample grid so the holes are
// the same on every machine.
QImage BodyMask() {
  raster::Canvas coverage(kWidth, kHeight);
  coverage.Fill(BodyShape(), raster::Solid({0, 0, 0}));
  const QImage covered = coverage.Image();
  QImage mask(kWidth, kHeight, QImage::Format_Grayscale8);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) mask.scanLine(y)[x] = qAlpha(covered.pixel(x, y)) >= 128 ? 255 : 0;
  for (const QRect& hole : kHoles)
    for (int y = hole.top(); y <= hole.bottom(); ++y)
      for (int x = hole.left(); x <= hole.right(); ++x)
        if (mask.constScanLine(y)[x]) throw std::logic_error("body outline reaches into a hole");
  return mask;
}

}  // namespace

QPainterPath BodyOutline() {
  QPainterPath path;
  for (size_t i = 0; i < kBodyCorners.size(); ++i) {
    const CornerArc arc = ArcAt(i);
    const int r = arc.radius;
    if (i == 0) path.moveTo(arc.centre - r * arc.out);
    // arcTo draws the straight edge up to the arc's start as well.
    path.arcTo(QRectF(arc.centre.x() - r, arc.centre.y() - r, 2 * r, 2 * r), ArcAngle(-arc.out),
               arc.outer ? -90 : 90);
  }
  path.closeSubpath();
  return path;
}

QImage RenderSkin(int scale, const SkinFonts& fonts) {
  const int w = kWidth * scale;
  const int h = kHeight * scale;
  QImage art(w, h, QImage::Format_ARGB32_Premultiplied);
  art.fill(Qt::transparent);
  {
    QPainter p(&art);
    p.scale(scale, scale);
    PaintSkin(p, fonts, scale);
  }

  const QImage mask = BodyMask();
  QImage out(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(art.constScanLine(y));
    auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    const uchar* inside = mask.constScanLine(y / scale);
    for (int x = 0; x < w; ++x) {
      if (!inside[x / scale]) {
        dst[x] = kWhite;
        continue;
      }
      // Premultiplied art over the rim colour.
      const QRgb c = src[x];
      const int a = qAlpha(c);
      auto over = [&](int channel, int rim) { return channel + (rim * (255 - a) + 127) / 255; };
      QRgb px = qRgb(over(qRed(c), kRim.red()), over(qGreen(c), kRim.green()),
                     over(qBlue(c), kRim.blue()));
      if (px == kWhite) px = qRgb(254, 254, 254);
      dst[x] = px;
    }
  }
  return out;
}

QImage SkinPreview(const QImage& skin) {
  QImage out = skin.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (line[x] == kWhite) line[x] = ((x / 8 + y / 8) % 2) ? qRgb(204, 204, 204) : qRgb(238, 238, 238);
  }
  return out;
}

}  // namespace skingen
