#include "framework/surface/RasterGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace raster {

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * kPi;
}  // namespace

bool clipLine(double& x1, double& y1, double& x2, double& y2, const Box& box) {
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - box.x0, box.x1 - x1, y1 - box.y0, box.y1 - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  // Each end moves from its own side, which keeps the precision near it.
  if (t1 < 1) {
    x2 -= (1 - t1) * dx;
    y2 -= (1 - t1) * dy;
  }
  if (t0 > 0) {
    x1 += t0 * dx;
    y1 += t0 * dy;
  }
  return true;
}

ArcRays arcRays(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, std::int64_t xs,
                std::int64_t ys, std::int64_t xe, std::int64_t ye) {
  // Doubled coordinates relative to the centre: exact in 64 bits (|v| < 2^35),
  // their products exact in 128.
  const std::int64_t cx2 = left + right, cy2 = top + bottom;
  const std::int64_t dxs = 2 * xs - cx2, dys = cy2 - 2 * ys;  // y up
  const std::int64_t dxe = 2 * xe - cx2, dye = cy2 - 2 * ye;
  const __int128 cross = static_cast<__int128>(dxs) * dye - static_cast<__int128>(dys) * dxe;
  const __int128 dot = static_cast<__int128>(dxs) * dxe + static_cast<__int128>(dys) * dye;
  ArcRays r;
  if (cross == 0 && dot > 0) {
    r.whole = true;
    r.spanDeg = 360;
    return r;
  }
  const double a = std::fabs(static_cast<double>(right - left)) / 2;
  const double b = std::fabs(static_cast<double>(bottom - top)) / 2;
  r.startDeg = std::atan2(a * static_cast<double>(dys), b * static_cast<double>(dxs)) * 180 / kPi;
  const double endDeg = std::atan2(a * static_cast<double>(dye), b * static_cast<double>(dxe)) * 180 / kPi;
  double span = std::fmod(endDeg - r.startDeg, 360.0);
  if (span < 0) span += 360;
  if (span >= 360) span = 0;
  r.spanDeg = span;
  return r;
}

std::vector<double> visibleAngles(double cx, double cy, double a, double b, double startRad, double spanRad,
                                  const Box& box) {
  std::vector<double> out;
  if (!(a > 0) || !(b > 0) || !(spanRad > 0)) return out;
  auto inside = [&](double t) {
    const double x = cx + a * std::cos(t), y = cy - b * std::sin(t);
    return x >= box.x0 && x <= box.x1 && y >= box.y0 && y <= box.y1;
  };
  // Where the ellipse crosses the box's edge lines, as angles within the span.
  std::vector<double> cuts{0.0, spanRad};
  auto addAngle = [&](double t) {
    double u = std::fmod(t - startRad, kTwoPi);
    if (u < 0) u += kTwoPi;
    if (u > 0 && u < spanRad) cuts.push_back(u);
  };
  for (double X : {box.x0, box.x1}) {
    const double c = (X - cx) / a;
    if (c >= -1 && c <= 1) {
      const double t = std::acos(c);
      addAngle(t);
      addAngle(-t);
    }
  }
  for (double Y : {box.y0, box.y1}) {
    const double s = (cy - Y) / b;
    if (s >= -1 && s <= 1) {
      const double t = std::asin(s);
      addAngle(t);
      addAngle(kPi - t);
    }
  }
  std::sort(cuts.begin(), cuts.end());
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const double u0 = cuts[i], u1 = cuts[i + 1];
    if (!(u1 > u0) || !inside(startRad + (u0 + u1) / 2)) continue;
    out.insert(out.end(), {u0, u1});
  }
  return out;
}

std::vector<std::vector<double>> visibleArc(double cx, double cy, double a, double b, double startRad,
                                            double spanRad, const Box& box) {
  std::vector<std::vector<double>> out;
  const std::vector<double> parts = visibleAngles(cx, cy, a, b, startRad, spanRad, box);
  // Angle step whose chord strays a quarter pixel: R * step^2 / 8 = 1/4.
  const double step = std::sqrt(2.0 / std::max(a, b));
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    const double u0 = parts[i], u1 = parts[i + 1];
    const double n = std::min(std::ceil((u1 - u0) / step), 65536.0);
    const int steps = std::max(1, static_cast<int>(n));
    std::vector<double> poly;
    poly.reserve(2 * (steps + 1));
    for (int k = 0; k <= steps; ++k) {
      const double t = startRad + u0 + (u1 - u0) * k / steps;
      poly.push_back(cx + a * std::cos(t));
      poly.push_back(cy - b * std::sin(t));
    }
    out.push_back(std::move(poly));
  }
  return out;
}

}  // namespace raster
