#pragma once

#include <QImage>
#include <QPainterPath>
#include <QString>

namespace skingen {

struct SkinFonts {
  QString captions;  // font file of the keys' hover captions (the key glyphs)
  QString logo;      // font file for the logo letters
};

// Outline of the calculator body in picture coordinates (edges, not pixels).
QPainterPath BodyOutline();

// The skin at `scale` times the picture size, RGB32. Everything outside the
// body is pure white; nothing inside is. The body's pixel mask is worked out
// at scale 1 and enlarged, so the holes of every scale are exact multiples.
QImage RenderSkin(int scale, const SkinFonts& fonts);

// The skin with its white holes shown as a checkerboard, for the docs.
QImage SkinPreview(const QImage& skin);

}  // namespace skingen
