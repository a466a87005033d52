// Items rendered on small raster images, origin at the bottom-left corner
// as the display window puts it.
#include <gtest/gtest.h>

#include <initializer_list>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"
#include "items/DrawAttributes.h"
#include "items/ItemDisplay.h"
#include "tests/framework/surface/SurfaceTestApp.h"

namespace {

zvItem item(int kind, std::initializer_list<int> args, const char* s = "") {
  std::vector<int> a(args);
  return zvItem(kind, static_cast<int>(a.size()), a.data(), s);
}

bool litNear(const QImage& img, int x, int y, int r = 2) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (img.rect().contains(x + dx, y + dy) && Rgb(img, x + dx, y + dy) != 0) return true;
  return false;
}

// Renders items on a black w x h image (logical pixels, at device pixel
// ratio `ratio`), after white lines and white text.
QImage render(int w, int h, std::vector<zvItem> items, int ratio = 1) {
  EnsureGuiApp();
  DrawAttributes attributes;
  QImage img = BlackImage(w * ratio, h * ratio);
  img.setDevicePixelRatio(ratio);
  {
    RasterSurface surface(&img);
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, h);
    dc.SetBkMode(TRANSPARENT);
    std::vector<zvItem> all = {item(ZV_LINE_COLOR, {255, 255, 255}), item(ZV_LINE_WIDTH, {1}),
                               item(ZV_TEXT_COLOR, {255, 255, 255}), item(ZV_TEXT_HEIGHT, {20})};
    all.insert(all.end(), items.begin(), items.end());
    DisplayTarget target{&dc, &attributes};
    for (zvItem& i : all) DisplayItem(i, &target);
  }
  return img;
}

TEST(DisplayPixel, LineTwentyPixelsAboveTheBottom) {
  const QImage img = render(200, 100, {item(ZV_LINE, {10, 20, 110, 20})});
  // Device row 100 - 20 = 80: twenty rows of the image lie below it.
  for (int x = 10; x < 110; ++x) EXPECT_EQ(Rgb(img, x, 80), 0xFFFFFFu) << x;
  for (int x = 0; x < 200; ++x) {
    EXPECT_EQ(Rgb(img, x, 79), 0u);
    EXPECT_EQ(Rgb(img, x, 81), 0u);
  }
}

TEST(DisplayPixel, DashedLineHasGaps) {
  const QImage img = render(100, 20, {item(ZV_LINE_TYPE, {2}), item(ZV_LINE, {0, 10, 99, 10})});
  int on = 0, off = 0;
  for (int x = 0; x < 99; ++x) (Rgb(img, x, 10) ? on : off)++;
  EXPECT_EQ(on, 18 + 18 + 18 + 18 + 3);
  EXPECT_EQ(off, 6 * 4);
}

// Which logical columns of logical row `row` are lit, as a string of # and .
std::string rowOf(const QImage& img, int row, int from, int to) {
  const int r = static_cast<int>(img.devicePixelRatio());
  std::string s;
  for (int x = from; x < to; ++x) s += Rgb(img, x * r, row * r) ? '#' : '.';
  return s;
}

// What a dash pattern lights from its start: `on` then `off`, repeated.
std::string pattern(int on, int off, int length) {
  std::string s;
  while (static_cast<int>(s.size()) < length) s += std::string(on, '#') + std::string(off, '.');
  return s.substr(0, length);
}

TEST(DisplayPixel, DashesRunOnAlongAPolylineOfShortSteps) {
  // A polyline of 3-pixel steps shows the gaps of one line over the same
  // span, at ratios 1 and 2; so does a vertex after a line item.
  for (int ratio : {1, 2}) {
    std::vector<zvItem> steps = {item(ZV_LINE_TYPE, {2}), item(ZV_POLYLINE, {20, 10})};
    for (int x = 23; x <= 200; x += 3) steps.push_back(item(ZV_POLYVERTEX, {x, 10}));
    const QImage stepped = render(220, 20, steps, ratio);
    const QImage one = render(220, 20, {item(ZV_LINE_TYPE, {2}), item(ZV_LINE, {20, 10, 200, 10})}, ratio);
    EXPECT_EQ(rowOf(stepped, 10, 0, 220), rowOf(one, 10, 0, 220)) << "ratio " << ratio;
    EXPECT_EQ(rowOf(stepped, 10, 20, 200), pattern(18, 6, 180)) << "ratio " << ratio;
    const QImage joined = render(
        220, 20, {item(ZV_LINE_TYPE, {2}), item(ZV_LINE, {20, 10, 110, 10}), item(ZV_POLYVERTEX, {200, 10})},
        ratio);
    EXPECT_EQ(rowOf(joined, 10, 0, 220), rowOf(one, 10, 0, 220)) << "ratio " << ratio;
  }
}

TEST(DisplayPixel, DashesStartAfreshAfterAMoveAPenAndANewLineItem) {
  // Dots of 3 on, 3 off; the first piece ends 4 pixels into the pattern.
  const std::vector<zvItem> head = {item(ZV_LINE_TYPE, {3}), item(ZV_POLYLINE, {10, 10}),
                                    item(ZV_POLYVERTEX, {14, 10})};
  const std::string restarted = pattern(3, 3, 4) + pattern(3, 3, 30);
  struct Case {
    const char* what;
    std::vector<zvItem> between;  // then a piece on to x = 44 from where the first ended
    std::string want;
  } cases[] = {
      {"a vertex", {}, pattern(3, 3, 34)},
      {"a move", {item(ZV_POLYLINE, {14, 10})}, restarted},
      {"the same pen again", {item(ZV_LINE_COLOR, {255, 255, 255})}, restarted},
      {"a text", {item(ZV_TEXT, {46, 19, 1}, "x")}, pattern(3, 3, 34)},
      {"an arc", {item(ZV_ARC, {52, 15, 3, 0, 90})}, pattern(3, 3, 34)},
  };
  for (const Case& c : cases) {
    std::vector<zvItem> items = head;
    items.insert(items.end(), c.between.begin(), c.between.end());
    items.push_back(item(ZV_POLYVERTEX, {44, 10}));
    EXPECT_EQ(rowOf(render(60, 20, items), 10, 10, 44), c.want) << c.what;
  }
  // A second line item starts afresh at its first point.
  const QImage two = render(
      60, 20, {item(ZV_LINE_TYPE, {3}), item(ZV_LINE, {10, 10, 14, 10}), item(ZV_LINE, {14, 10, 44, 10})});
  EXPECT_EQ(rowOf(two, 10, 10, 44), restarted);
}

TEST(DisplayPixel, PolylineContinuesFromTheLastPoint) {
  const QImage img = render(
      100, 100, {item(ZV_POLYLINE, {10, 10}), item(ZV_POLYVERTEX, {50, 10}), item(ZV_POLYVERTEX, {50, 50})});
  EXPECT_TRUE(litNear(img, 30, 90, 0));
  EXPECT_TRUE(litNear(img, 50, 70, 0));
  EXPECT_FALSE(litNear(img, 30, 70, 5));
}

TEST(DisplayPixel, AlignedTextLandsLeftOfItsPoint) {
  struct Case {
    int code;
    bool left, right;  // ink left of x = 100, right of it
  } cases[] = {{1, false, true}, {2, true, true}, {3, true, false}};
  for (const auto& c : cases) {
    const QImage img = render(200, 60, {item(ZV_TEXT_ALIGN, {c.code}), item(ZV_TEXT, {100, 40, 4}, "MMMM")});
    bool left = false, right = false, above = false;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 200; ++x)
        if (Rgb(img, x, y)) {
          left |= x < 100;
          right |= x > 100;
          above |= y < 20;  // the text hangs below its point (device row 20)
        }
    EXPECT_EQ(left, c.left) << c.code;
    EXPECT_EQ(right, c.right) << c.code;
    EXPECT_FALSE(above) << c.code;
  }
}

TEST(DisplayPixel, ArcsCoverTheirQuarter) {
  // Begin 90, end 0: the lower-right quarter; begin 0, end 90: the other
  // three.
  struct Case {
    int a, b;
    bool upperLeft, upperRight, lowerLeft, lowerRight;
  } cases[] = {
      {90, 0, false, false, false, true}, {0, 90, true, true, true, false}, {30, 30, true, true, true, true}};
  for (const auto& c : cases) {
    const QImage img = render(200, 200, {item(ZV_ARC, {100, 100, 50, c.a, c.b})});
    EXPECT_EQ(litNear(img, 65, 65), c.upperLeft) << c.a << ' ' << c.b;
    EXPECT_EQ(litNear(img, 135, 65), c.upperRight) << c.a << ' ' << c.b;
    EXPECT_EQ(litNear(img, 65, 135), c.lowerLeft) << c.a << ' ' << c.b;
    EXPECT_EQ(litNear(img, 135, 135), c.lowerRight) << c.a << ' ' << c.b;
  }
  const QImage circle = render(200, 200, {item(ZV_CIRCLE, {100, 100, 50})});
  for (auto [x, y] : {std::pair{65, 65}, {135, 65}, {65, 135}, {135, 135}, {50, 100}, {100, 50}})
    EXPECT_TRUE(litNear(circle, x, y)) << x << ',' << y;
  EXPECT_FALSE(litNear(circle, 100, 100, 20));
}

TEST(DisplayPixel, HostileItemsDrawWithoutHarm) {
  const int big = 2147483647, small = -2147483647 - 1;
  const QImage img = render(64, 64,
                            {
                                item(ZV_LINE_WIDTH, {big}),
                                item(ZV_LINE, {small, small, big, big}),
                                item(ZV_CIRCLE, {small, big, big}),
                                item(ZV_ARC, {big, small, small, big, small}),
                                item(ZV_LINE_WIDTH, {small}),
                                item(ZV_LINE, {small, 32, big, 32}),
                                item(ZV_TEXT_HEIGHT, {small}),
                                item(ZV_TEXT, {small, small, -1}, "x"),
                                item(ZV_TEXT_HEIGHT, {big}),
                                item(ZV_TEXT, {0, 64, 3}, "abc"),
                            });
  // The negative width draws one pixel wide across the whole image.
  for (int x = 0; x < 64; ++x) EXPECT_TRUE(litNear(img, x, 32, 0)) << x;
}

}  // namespace
