#pragma once
// Design sizes follow the screen's pixels per inch: a size meant for 96 ppi
// is scaled up with ScaleDim; ScalePos scales the other way.

#include <cmath>

namespace zorvane::render {

inline int ScaleDim(int n, double ppi) { return static_cast<int>(std::nearbyint(n * ppi / 96.0)); }
inline int ScalePos(int n, double ppi) { return static_cast<int>(std::nearbyint(n * 96.0 / ppi)); }
// Map view pixels to squares: Floor(pixels / 32).
inline int PixToSq(int pixels) { return pixels >= 0 ? pixels / 32 : -((-pixels + 31) / 32); }

}  // namespace zorvane::render
