#pragma once
// What the pixel tests of the raster surface share: where an image is lit,
// and a fixture that draws through a client context on small black images
// and checks that every pen and font made was deleted.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <climits>
#include <list>
#include <memory>

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"
#include "tests/framework/gdi/GdiProbe.h"
#include "tests/framework/surface/SurfaceTestApp.h"

inline constexpr unsigned kWhite = 0xFFFFFF, kBlack = 0, kRed = 0xFF0000;

// Bounding box of the pixels that are not black (or not `other`).
struct Lit {
  int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN, count = 0;
};
inline Lit lit(const QImage& img, unsigned other = kBlack) {
  Lit b;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (Rgb(img, x, y) != other) {
        b.x0 = std::min(b.x0, x);
        b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y);
        b.y1 = std::max(b.y1, y);
        ++b.count;
      }
  return b;
}

// Whether a pixel within r of (x, y) is lit.
inline bool litNear(const QImage& img, int x, int y, int r = 2) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (img.rect().contains(x + dx, y + dy) && Rgb(img, x + dx, y + dy) != kBlack) return true;
  return false;
}

class SurfaceRaster : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiApp(); }
  void TearDown() override {
    finish();
    EXPECT_EQ(GdiProbe::LiveCount(), 0u);
  }
  // A surface on img with the origin at the bottom-left corner.
  TDC& start(QImage& img) {
    surface = std::make_unique<RasterSurface>(&img);
    dc = std::make_unique<TClientDC>(*surface);
    dc->SetViewportOrgEx(0, img.height());
    return *dc;
  }
  void finish() {
    dc.reset();
    surface.reset();
  }
  // Images outlive the surface that paints on them.
  QImage& newImage(int w, int h) { return images.emplace_back(BlackImage(w, h)); }
  std::list<QImage> images;
  std::unique_ptr<RasterSurface> surface;
  std::unique_ptr<TClientDC> dc;
};
