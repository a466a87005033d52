// A replay that passes over runs of items showing nothing draws exactly the
// picture of a replay that draws every item, and leaves the context where
// it would have stood, at device pixel ratios 1 and 2 and in zoomed and
// panned views, over the whole list or in slices; and it does pass over
// the runs far outside.
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"
#include "items/ItemDisplay.h"
#include "stream/DisplayState.h"
#include "stream/Replay.h"
#include "tests/support/GuiAppTest.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/ReplayInView.h"

namespace {

constexpr int kW = 300, kH = 200;
constexpr int kRun = ListRuns::kItems;

void add(DisplayState& state, int kind, std::vector<int> args, const std::string& s = "") {
  state.displayList.Add(zvItem(kind, static_cast<int>(args.size()), args.data(), s.c_str()));
}

// A raster surface that counts the drawing calls made on it.
class CountingSurface : public RasterSurface {
public:
  using RasterSurface::RasterSurface;
  void LineTo(int x, int y) override {
    ++calls;
    RasterSurface::LineTo(x, y);
  }
  void TextOutA(int x, int y, const char* text, int count) override {
    ++calls;
    RasterSurface::TextOutA(x, y, text, count);
  }
  void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override {
    ++calls;
    RasterSurface::Arc(l, t, r, b, xs, ys, xe, ye);
  }
  int calls = 0;
};

using View = ReplayView;

// Runs of items: runs of one kind just beyond one edge, nearer and nearer
// (within the reach of the pen or the font of the moment, or just out of
// it), for three pens and fonts; between them, now and then, a run far out
// about the corners of the coordinates or one inside. Polylines run on from
// one run into the next.
class Picture {
public:
  explicit Picture(unsigned seed) : rng(seed) {
    add(state, ZV_LINE_COLOR, {255, 255, 255});
    add(state, ZV_TEXT_COLOR, {255, 200, 0});
    const int widths[] = {1, 9, 31}, heights[] = {10, 30, 50};
    for (int setting = 0; setting < 3; ++setting) {
      add(state, ZV_LINE_WIDTH, {widths[setting]});
      add(state, ZV_TEXT_HEIGHT, {heights[setting]});
      add(state, ZV_TEXT_ALIGN, {1 + setting});
      fillTo(ZV_LINE, 2);
      for (int kind : {ZV_LINE, ZV_POLYVERTEX, ZV_CIRCLE, ZV_TEXT})
        for (side = 0; side < 4; ++side)
          for (int base : {0, 4, 12, 35}) {
            beyond = base;
            fillTo(kind, 1);
            if (pick(3) == 0) fillTo(-1, pick(4) ? 0 : 2);
          }
    }
    // A dashed pen, whose pattern runs on along lines out of sight too:
    // polylines far out, each run on into the picture.
    add(state, ZV_LINE_WIDTH, {1});
    add(state, ZV_LINE_TYPE, {2});
    fillTo(-1, 2);
    for (int i = 0; i < 4; ++i) {
      const auto [x, y] = point(0);
      add(state, ZV_POLYLINE, {x, y});
      last = {x, y};
      fillTo(ZV_POLYVERTEX, 0);
      fillTo(ZV_POLYVERTEX, 2);
    }
  }
  DisplayState state;

private:
  int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
  // A point: far in a corner (sort 0), just beyond the edge `side` (1), or
  // inside (2).
  std::pair<int, int> point(int sort) {
    if (sort == 0)
      return {(pick(2) ? 1 : -1) * (INT_MAX - pick(700)), (pick(2) ? 1 : -1) * (INT_MAX - pick(700))};
    if (sort == 1) {
      const int out = beyond + pick(4);
      switch (side) {
        case 0:
          return {-1 - out, pick(kH)};
        case 1:
          return {kW + out, pick(kH)};
        case 2:
          return {pick(kW), -1 - out};
        default:
          return {pick(kW), kH + out};
      }
    }
    // Inside, in the middle: the strips along the edges show what runs
    // just outside draw.
    return {kW / 3 + pick(kW / 3), kH / 3 + pick(kH / 3)};
  }
  // A point a little toward the middle from a far one.
  std::pair<int, int> nearby(int x, int y) {
    return {x - (x > 0 ? 1 : -1) * pick(41), y - (y > 0 ? 1 : -1) * pick(41)};
  }
  // Fills the list up to the end of the current run with items of `kind`
  // (-1: any) of `sort`.
  void fillTo(int kind, int sort) {
    const int until = (state.displayList.Count() / kRun + 1) * kRun;
    while (state.displayList.Count() < until) {
      const auto [x, y] = point(sort);
      switch (kind >= 0
                  ? kind
                  : std::array{ZV_LINE, ZV_POLYLINE, ZV_POLYVERTEX, ZV_CIRCLE, ZV_ARC, ZV_TEXT}[pick(6)]) {
        case ZV_LINE: {
          // Far out, a short line toward the middle.
          const auto [x2, y2] = sort == 0 ? nearby(x, y) : point(sort);
          add(state, ZV_LINE, {x, y, x2, y2});
          last = {x2, y2};
          break;
        }
        case ZV_POLYLINE:
          add(state, ZV_POLYLINE, {x, y});
          last = {x, y};
          break;
        case ZV_POLYVERTEX: {
          // Far out, a vertex stays in the corner the line is in.
          const auto [vx, vy] = sort == 0 ? nearby(last.first, last.second) : std::pair{x, y};
          add(state, ZV_POLYVERTEX, {vx, vy});
          last = {vx, vy};
          break;
        }
        case ZV_CIRCLE:
          add(state, ZV_CIRCLE, {x, y, pick(8)});
          break;
        case ZV_ARC:
          add(state, ZV_ARC, {x, y, pick(30), pick(720) - 360, pick(720) - 360});
          break;
        default: {
          // Texts of wide letters and tabs, which reach far in from beside.
          const int bytes = 1 + pick(sort == 1 ? 6 : 40);
          std::string s;
          for (int i = 0; i < bytes; ++i) s += "W\tm@"[pick(4)];
          add(state, ZV_TEXT, {x - (sort == 1 && side == 0 ? 20 * beyond : 0), y, bytes}, s);
        }
      }
    }
  }
  std::mt19937 rng;
  std::pair<int, int> last{0, 0};  // the current position the items leave
  int side = 0, beyond = 0;        // the edge of runs just outside, and how far
};

enum class How { EachItem, WholeList, Slices };

// The picture replayed once in `view` on a black image, then a line from
// wherever the replay left the current position: item by item, or through
// the replay that may pass over runs, over the whole list or in slices of
// any length, as a window's sliced replay gives it.
QImage replay(Picture& picture, const View& view, How how, int* calls = nullptr) {
  DisplayState& state = picture.state;
  return ReplayInView<CountingSurface>(state, kW, kH, view, [&](CountingSurface& surface, TClientDC& dc) {
    if (how == How::WholeList) {
      ReplayDisplayList(state, dc);
    } else if (how == How::Slices) {
      DisplayTarget target{&dc, &state};
      std::mt19937 lengths(11);
      for (int start = 0; start < state.displayList.Count();) {
        const int stop = start + 1 + static_cast<int>(lengths() % 6000);
        ReplayItems(state, target, start, stop);
        start = stop;
      }
    } else {
      ReplayEachItem(state, dc);
    }
    if (calls) *calls = surface.calls;
  });
}

class ReplaySkip : public GuiAppTest {};

TEST_F(ReplaySkip, PassingOverRunsChangesNoPixelInAnyView) {
  const View views[] = {{1, 1, 0, 0},    {2, 1, 0, 0},    {1, 2, -40, 25},
                        {2, 2, 30, -20}, {1, 0.25, 0, 0}, {1, 1.5, 7.5, -3.25}};
  for (unsigned seed : {1u}) {
    Picture picture(seed);
    for (const View& v : views) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", ratio " + std::to_string(v.ratio) + ", zoom " +
                   std::to_string(v.zoom));
      int passed = 0, made = 0;
      const QImage each = replay(picture, v, How::EachItem, &made);
      const QImage runs = replay(picture, v, How::WholeList, &passed);
      EXPECT_EQ(firstDifference(each, runs), "");
      if (v.zoom != 1) {
        EXPECT_EQ(firstDifference(each, replay(picture, v, How::Slices)), "") << "in slices";
      }
      // Many runs lie out of sight: their calls are never made.
      EXPECT_LT(passed, made * 9 / 10);
    }
  }
}

TEST_F(ReplaySkip, ARunFromFarOutsideIntoTheViewIsDrawn) {
  Picture picture(7);
  DisplayState& state = picture.state;
  state.RestartList();
  add(state, ZV_LINE_COLOR, {255, 255, 255});
  add(state, ZV_POLYLINE, {-INT_MAX, 100});
  // A run wholly far out, passed over, then a run whose first vertex comes
  // into view: the line from far out crosses the picture.
  while (state.displayList.Count() < 2 * kRun) add(state, ZV_POLYVERTEX, {-INT_MAX, 100});
  add(state, ZV_POLYVERTEX, {150, 100});
  while (state.displayList.Count() < 3 * kRun) add(state, ZV_POLYLINE, {150, 50});
  // A run that starts in view and runs far out: its first line crosses too.
  add(state, ZV_POLYVERTEX, {INT_MAX, 50});
  while (state.displayList.Count() < 4 * kRun) add(state, ZV_POLYVERTEX, {INT_MAX, -INT_MAX});
  // A group of runs far out on the left, then, in the middle of the next
  // group, a run far out on the right: its first line crosses the picture
  // at height 120, though each group's runs lie far out.
  constexpr int kGroup = ListRuns::kGroupItems;
  for (int i = 0; state.displayList.Count() < kGroup + kGroup / 2; ++i)
    add(state, ZV_POLYVERTEX, {-INT_MAX + i % 100, 120});
  for (int i = 0; state.displayList.Count() < 3 * kGroup; ++i)
    add(state, ZV_POLYVERTEX, {INT_MAX - i % 100, 120});
  const QImage each = replay(picture, {1, 1, 0, 0}, How::EachItem);
  const QImage runs = replay(picture, {1, 1, 0, 0}, How::WholeList);
  EXPECT_EQ(firstDifference(each, runs), "");
  EXPECT_EQ(runs.pixel(20, kH - 100) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(runs.pixel(280, kH - 50) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(runs.pixel(150, kH - 120) & 0xFFFFFFu, 0xFFFFFFu);
}

}  // namespace

// What a run's summary lets pass, against a sight of the box 0..99 both ways.
TEST(CallRunTest, PassesOnlyWhatLiesBeyondTheSight) {
  CallSight sight;
  sight.shapes = {0, 0, 99, 99};
  sight.SetTexts({-10, -10, 109, 109}, 2.0);
  sight.curX = sight.curY = 50;

  CallRun empty;
  EXPECT_TRUE(empty.OutOf(sight));

  CallRun corners;  // lines about all four far corners, apart in each quadrant
  corners.AddLine(INT_MAX, INT_MAX, INT_MAX - 9, INT_MAX - 9);
  corners.AddLine(INT_MIN, INT_MIN, INT_MIN + 9, INT_MIN + 9);
  corners.AddLine(INT_MIN, INT_MAX, INT_MIN + 9, INT_MAX - 9);
  corners.AddLine(INT_MAX, INT_MIN, INT_MAX - 9, INT_MIN + 9);
  EXPECT_TRUE(corners.OutOf(sight));
  CallRun crossing = corners;  // a line from one side to the other
  crossing.AddLine(-500, 50, 500, 50);
  EXPECT_FALSE(crossing.OutOf(sight));

  CallRun fromHere;  // a first vertex draws from the current position, in sight
  fromHere.AddLineTo(-1000, -1000);
  EXPECT_FALSE(fromHere.OutOf(sight));
  sight.curX = -5;
  EXPECT_TRUE(fromHere.OutOf(sight));

  CallRun arc;
  arc.AddRectangle(-30, 40, -1, 60);
  EXPECT_TRUE(arc.OutOf(sight));
  arc.AddRectangle(-30, 40, 0, 60);
  EXPECT_FALSE(arc.OutOf(sight));

  // A text's reach: the text bounds widened by 2 a byte (and 1) each way.
  CallRun text;
  text.AddText(-20, 50, 4);
  EXPECT_TRUE(text.OutOf(sight));
  text.AddText(-20, 50, 5);
  EXPECT_FALSE(text.OutOf(sight));
  CallRun below;
  below.AddText(50, 110, 1000);
  EXPECT_TRUE(below.OutOf(sight));

  CallRun state;
  state.ChangesState();
  EXPECT_FALSE(state.OutOf(sight));
}
