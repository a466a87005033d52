// Every primitive draws the same pixels whatever the size of the target: a
// picture drawn on a large image, cropped to its bottom-left part, equals
// the picture drawn on an image of that part's size, the origin at the
// bottom-left corner of each. Lines, dashes, arcs, circles and text, thin
// and wide, inside and across the edges, at device pixel ratios 1 and 2.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/RasterSurface.h"
#include "tests/framework/gdi/GdiProbe.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

enum class Kind { ThinLines, DashedLines, Polylines, WideLines, Circles, WideCircles, Arcs, WideArcs, Texts };

const char* nameOf(Kind k) {
  switch (k) {
    case Kind::ThinLines:
      return "thin lines";
    case Kind::DashedLines:
      return "dashed lines";
    case Kind::Polylines:
      return "dashed polylines";
    case Kind::WideLines:
      return "wide lines";
    case Kind::Circles:
      return "circles";
    case Kind::WideCircles:
      return "wide circles";
    case Kind::Arcs:
      return "arcs";
    case Kind::WideArcs:
      return "wide arcs";
    case Kind::Texts:
      return "texts";
  }
  return "";
}

using Primitive = std::function<void(TDC&)>;

// `count` random primitives of one kind, each with its own pen or font, in
// item-like logical coordinates (y down from the origin at the bottom-left
// corner, so mostly negative), spread over a w x h area and a margin
// around it.
std::vector<Primitive> primitives(Kind kind, int count, int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  const auto in = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const auto x = [&] { return in(-150, w + 150); };
  const auto y = [&] { return -in(-150, h + 150); };
  const int styles[] = {PS_DASH, PS_DOT, PS_DASHDOT};
  std::vector<Primitive> out;
  for (int i = 0; i < count; ++i) {
    const TColor colour(in(0, 255), in(0, 255), in(0, 255));
    switch (kind) {
      case Kind::ThinLines:
      case Kind::WideLines:
      case Kind::DashedLines: {
        const int width = kind == Kind::WideLines ? in(2, 9) : in(0, 1);
        const int style = kind == Kind::DashedLines ? styles[in(0, 2)] : PS_SOLID;
        const int x1 = x(), y1 = y(), x2 = x(), y2 = y();
        out.push_back([=](TDC& dc) {
          dc.SelectObject(TPen(colour, width, style));
          dc.MoveToEx(x1, y1);
          dc.LineTo(x2, y2);
        });
        break;
      }
      case Kind::Polylines: {
        const int style = styles[in(0, 2)];
        std::vector<int> v{x(), y()};
        for (int k = in(2, 12); k > 0; --k)
          v.insert(v.end(), {v[v.size() - 2] + in(-40, 40), v.back() + in(-40, 40)});
        out.push_back([=](TDC& dc) {
          dc.SelectObject(TPen(colour, 1, style));
          dc.MoveToEx(v[0], v[1]);
          for (std::size_t k = 2; k + 1 < v.size(); k += 2) dc.LineTo(v[k], v[k + 1]);
        });
        break;
      }
      case Kind::Circles:
      case Kind::WideCircles:
      case Kind::Arcs:
      case Kind::WideArcs: {
        const bool wide = kind == Kind::WideCircles || kind == Kind::WideArcs;
        const bool arc = kind == Kind::Arcs || kind == Kind::WideArcs;
        const int width = wide ? in(2, 7) : in(0, 1);
        const int style = arc && !wide && in(0, 1) ? styles[in(0, 2)] : PS_SOLID;
        const int cx = x(), cy = y(), r = in(1, 300);
        int a[8] = {cx - r, cy - r, cx + r, cy + r, cx - r, cy, cx - r, cy};
        if (arc) {
          a[1] = cy + r, a[3] = cy - r;  // corners in the other order
          for (int k = 4; k < 8; ++k) a[k] = (k % 2 ? cy : cx) + in(-r, r);
        }
        out.push_back([=](TDC& dc) {
          dc.SelectObject(TPen(colour, width, style));
          dc.Arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        });
        break;
      }
      case Kind::Texts: {
        static const char* const faces[] = {"Arial", "DejaVu Sans"};
        const int heights[] = {0, 12, 20, 33, -40, 90};
        const char* face = faces[in(0, 1)];
        const int height = heights[in(0, 5)];
        const unsigned align = in(0, 2) == 0 ? TA_LEFT : in(0, 1) ? TA_CENTER : TA_RIGHT;
        const int mode = in(0, 3) == 0 ? OPAQUE : TRANSPARENT;
        const std::string s = "Text " + std::to_string(i) + (in(0, 1) ? " Wavy AV" : "");
        const int tx = x(), ty = y();
        out.push_back([=](TDC& dc) {
          dc.SelectObject(TFont(face, height));
          dc.SetTextColor(colour);
          dc.SetTextAlign(align);
          dc.SetBkMode(mode);
          dc.TextOutA(tx, ty, s.c_str(), static_cast<int>(s.size()));
        });
        break;
      }
    }
  }
  return out;
}

struct View {
  double zoom, panX, panY;
};

QImage picture(int w, int h, int ratio, View view, const std::vector<Primitive>& primitives) {
  QImage img = BlackImage(w * ratio, h * ratio);
  img.setDevicePixelRatio(ratio);
  {
    RasterSurface surface(&img);
    surface.SetView(view.zoom, view.panX, view.panY);
    {
      TClientDC dc(surface);
      dc.SetViewportOrgEx(0, h);
      dc.SetBkMode(TRANSPARENT);
      for (const Primitive& p : primitives) p(dc);
    }
    surface.End();
  }
  return img;
}

// Device pixels of the small picture that differ from the bottom-left part
// of the large one.
int cropDifference(const QImage& large, const QImage& small) {
  const int dy = large.height() - small.height();
  int n = 0;
  for (int y = 0; y < small.height(); ++y)
    for (int x = 0; x < small.width(); ++x) n += Rgb(small, x, y) != Rgb(large, x, y + dy);
  return n;
}

class SurfaceCrop : public ::testing::TestWithParam<Kind> {
protected:
  void SetUp() override { EnsureGuiApp(); }
  void TearDown() override { EXPECT_EQ(GdiProbe::LiveCount(), 0u); }
};

TEST_P(SurfaceCrop, BottomLeftPartIsThePictureOfThatSize) {
  const Kind kind = GetParam();
  struct SizePair {
    int w1, h1, w2, h2;
  } pairs[] = {{800, 600, 640, 461}, {320, 240, 97, 53}, {300, 200, 299, 1}, {257, 300, 1, 299}};
  // 1:1, and a zoom whose units are whole device pixels with a pan of
  // whole logical pixels.
  const View views[] = {{1, 0, 0}, {2, 6, -4}};
  const int count = kind == Kind::Texts ? 200 : 600;
  for (int ratio : {1, 2})
    for (const View& view : views)
      for (const SizePair& p : pairs) {
        const auto all = primitives(kind, count, p.w1, p.h1, 7 + p.w2);
        const QImage large = picture(p.w1, p.h1, ratio, view, all);
        EXPECT_EQ(cropDifference(large, picture(p.w2, p.h2, ratio, view, all)), 0)
            << nameOf(kind) << " at ratio " << ratio << " zoom " << view.zoom << ": " << p.w2 << "x" << p.h2
            << " against the bottom-left part of " << p.w1 << "x" << p.h1;
      }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SurfaceCrop,
                         ::testing::Values(Kind::ThinLines, Kind::DashedLines, Kind::Polylines,
                                           Kind::WideLines, Kind::Circles, Kind::WideCircles, Kind::Arcs,
                                           Kind::WideArcs, Kind::Texts),
                         [](const auto& info) {
                           std::string s = nameOf(info.param);
                           for (char& c : s)
                             if (c == ' ') c = '_';
                           return s;
                         });

}  // namespace
