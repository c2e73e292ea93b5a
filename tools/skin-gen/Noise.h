#pragma once

// Deterministic value noise for the frame texture. The lattice lives in the
// picture's own pixel coordinates, so the 1x and 2x drawings carry the same
// grain.

#include <cmath>
#include <cstdint>

namespace skingen {

inline uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
               seed * 0xcb1ab31fu;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

// In [-1, 1].
inline double Lattice(int32_t x, int32_t y, uint32_t seed) {
  return static_cast<double>(Hash(x, y, seed) & 0xFFFFu) / 32767.5 - 1.0;
}

// Smoothly interpolated noise with features about `cell` units apart, in [-1, 1].
inline double ValueNoise(double u, double v, double cell, uint32_t seed) {
  const double fu = u / cell;
  const double fv = v / cell;
  const double iu = std::floor(fu);
  const double iv = std::floor(fv);
  const auto x = static_cast<int32_t>(iu);
  const auto y = static_cast<int32_t>(iv);
  auto smooth = [](double t) { return t * t * (3.0 - 2.0 * t); };
  const double tu = smooth(fu - iu);
  const double tv = smooth(fv - iv);
  const double a = Lattice(x, y, seed) + (Lattice(x + 1, y, seed) - Lattice(x, y, seed)) * tu;
  const double b =
      Lattice(x, y + 1, seed) + (Lattice(x + 1, y + 1, seed) - Lattice(x, y + 1, seed)) * tu;
  return a + (b - a) * tv;
}

}  // namespace skingen
