#include "window/View.h"

#include <algorithm>
#include <cmath>

#include "window/ItemExtent.h"

double View::Zoom() const {
  // Even levels are exact powers of two; odd ones carry one root of 2.
  const double power = std::ldexp(1.0, level >= 0 ? level / 2 : -((-level + 1) / 2));
  return (level % 2 == 0) ? power : power * std::sqrt(2.0);
}

double View::ItemX(double c) const { return (c - panX) / Zoom(); }
double View::ItemY(double r, int height) const { return (height - r - panY) / Zoom(); }
double View::ClientX(double x) const { return panX + x * Zoom(); }
double View::ClientY(double y, int height) const { return height - (panY + y * Zoom()); }

bool View::ZoomAbout(int steps, double c, double r, int height) {
  const int next = std::clamp(level + steps, MinLevel, MaxLevel);
  if (next == level) return false;
  const double x = ItemX(c), y = ItemY(r, height);
  level = next;
  // The item point under (c, r) stays there.
  panX = c - x * Zoom();
  panY = (height - r) - y * Zoom();
  return true;
}

void View::Pan(double dc, double dr) {
  panX += dc;
  panY -= dr;
}

void View::Reset() {
  level = 0;
  panX = panY = 0;
}

void View::Fit(const ItemExtent& extent, int w, int h) {
  if (extent.Empty() || w <= 0 || h <= 0) return;
  const double spanX = extent.right - extent.left + 1.0, spanY = extent.top - extent.bottom + 1.0;
  level = MinLevel;
  for (int l = MaxLevel; l > MinLevel; --l) {
    View trial;
    trial.level = l;
    if (spanX * trial.Zoom() <= w && spanY * trial.Zoom() <= h) {
      level = l;
      break;
    }
  }
  const double z = Zoom();
  panX = (w - spanX * z) / 2 - extent.left * z;
  panY = (h - spanY * z) / 2 - extent.bottom * z;
}

std::string CoordinateLabel(const View& view, int c, int r, int height) {
  const double x = std::floor(view.ItemX(c)), y = std::ceil(view.ItemY(r, height));
  auto whole = [](double v) {
    const double clamped = std::clamp(v, -9.2e18, 9.2e18);
    return std::to_string(static_cast<long long>(clamped));
  };
  return "(" + whole(x) + ", " + whole(y) + ")";
}
