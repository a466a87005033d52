#pragma once
// A run of consecutive drawing calls summed up (CallRun), and where a
// surface could show anything of such calls (CallSight), so that a replay
// can pass over a run none of whose calls could change a pixel: a list
// whose items lie far outside the picture then replays at about the cost
// of a walk over it. Surface coordinates, like the calls'.

#include <algorithm>
#include <climits>
#include <cstdint>

// Where calls could show anything, in the state the surface is in now: a
// line end, an arc's rectangle corner or a text's point outside these
// bounds shows nothing, when all the others of its line, arc or text lie
// beyond the same side. Bounds beyond the 32-bit range are kept at its
// ends: nothing lies beyond them there.
struct CallSight {
  struct Bounds {
    std::int32_t left, top, right, bottom;  // inclusive
  };
  Bounds shapes{};
  // The current position.
  int curX = 0, curY = 0;

  // The bounds for a text of no bytes; each byte may widen them by `aByte`
  // each way.
  void SetTexts(Bounds bounds, double aByte) {
    texts = bounds;
    textAByte = aByte;
    widenedFor = 0;
  }

  // The bounds for texts of `bytes` bytes (above 0), kept for the next
  // run, whose longest text likely has as many.
  const Bounds& TextsOf(long long bytes) {
    if (bytes != widenedFor) {
      const double w = textAByte * static_cast<double>(bytes) + 1;
      const long long wide = w < 0x1p32 ? static_cast<long long>(w) : 1LL << 32;
      const auto clamp32 = [](long long v) {
        return static_cast<std::int32_t>(std::clamp<long long>(v, INT_MIN, INT_MAX));
      };
      widened = Bounds{clamp32(texts.left - wide), texts.top, clamp32(texts.right + wide), texts.bottom};
      widenedFor = bytes;
    }
    return widened;
  }

private:
  Bounds texts{};
  double textAByte = 0;
  Bounds widened{};
  long long widenedFor = 0;
};

class CallRun {
public:
  // A line from (x1, y1) to (x2, y2), which becomes the current position.
  void AddLine(int x1, int y1, int x2, int y2) {
    shapes.Add(x1, y1, x2, y2);
    MoveTo(x2, y2);
  }
  // A line from the current position to (x, y).
  void AddLineTo(int x, int y) {
    if (moves) {
      AddLine(endX, endY, x, y);
      return;
    }
    fromCurrent = true;
    firstX = x;
    firstY = y;
    MoveTo(x, y);
  }
  void MoveTo(int x, int y) {
    moves = true;
    endX = x;
    endY = y;
  }
  // An arc within the rectangle (corners in either order).
  void AddRectangle(int left, int top, int right, int bottom) { shapes.Add(left, top, right, bottom); }
  // A text at (x, y) of at most `bytes` bytes.
  void AddText(int x, int y, long long bytes) {
    texts.Add(x, y, x, y);
    textBytes = std::max(textBytes, bytes);
  }
  // The calls of the run `next` after this run's.
  void Append(const CallRun& next) {
    shapes.Merge(next.shapes);
    texts.Merge(next.texts);
    textBytes = std::max(textBytes, next.textBytes);
    changesState |= next.changesState;
    if (next.fromCurrent) {
      if (moves) {
        shapes.Add(endX, endY, next.firstX, next.firstY);
      } else {
        fromCurrent = true;
        firstX = next.firstX;
        firstY = next.firstY;
      }
    }
    if (next.moves) MoveTo(next.endX, next.endY);
  }
  // Calls that change state other than the current position (selections,
  // colours, alignment...): such a run is always made.
  void ChangesState() { changesState = true; }

  bool Changes() const { return changesState; }
  bool Moves() const { return moves; }
  int EndX() const { return endX; }
  int EndY() const { return endY; }

  // Whether none of its calls could show anything in `sight`, run from the
  // current position there.
  bool OutOf(CallSight& sight) const {
    if (changesState) return false;
    const CallSight::Bounds& in = sight.shapes;
    if (!shapes.Apart(in.left, in.top, in.right, in.bottom)) return false;
    if (fromCurrent) {
      Boxes first;
      first.Add(sight.curX, sight.curY, firstX, firstY);
      if (!first.Apart(in.left, in.top, in.right, in.bottom)) return false;
    }
    if (textBytes > 0) {
      const CallSight::Bounds& t = sight.TextsOf(textBytes);
      if (!texts.Apart(t.left, t.top, t.right, t.bottom)) return false;
    }
    return true;
  }

private:
  // Four boxes, one for the items that start in each quadrant: items about
  // far corners of the coordinates keep four small boxes, where one box
  // around them all would cover the picture. Kept by side, so that a test
  // of the four compares four at a time, a lane a quadrant. An empty box
  // has left > right: it lies apart from any box short of the whole plane.
  using Lanes = std::int32_t __attribute__((vector_size(16)));
  struct Boxes {
    Lanes left = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    Lanes top = {INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    Lanes right = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    Lanes bottom = {INT_MIN, INT_MIN, INT_MIN, INT_MIN};

    // Adds the box of the two points to the box of the first one's quadrant.
    void Add(int x1, int y1, int x2, int y2) {
      const int q = (x1 < 0 ? 1 : 0) | (y1 < 0 ? 2 : 0);
      left[q] = std::min({left[q], x1, x2});
      right[q] = std::max({right[q], x1, x2});
      top[q] = std::min({top[q], y1, y2});
      bottom[q] = std::max({bottom[q], y1, y2});
    }
    void Merge(const Boxes& other) {
      left = left < other.left ? left : other.left;
      top = top < other.top ? top : other.top;
      right = right > other.right ? right : other.right;
      bottom = bottom > other.bottom ? bottom : other.bottom;
    }
    // Whether each box lies beyond a side of the box from (l, t) to (r, b).
    bool Apart(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) const {
      const Lanes meets = (right >= l) & (left <= r) & (bottom >= t) & (top <= b);
      return !(meets[0] | meets[1] | meets[2] | meets[3]);
    }
  };

  Boxes shapes;             // the ends of its lines and the corners of its arcs' rectangles
  Boxes texts;              // the points of its texts
  long long textBytes = 0;  // the most bytes one of its texts holds
  // Whether its first line starts at the current position, and where that
  // line ends.
  bool fromCurrent = false;
  int firstX = 0, firstY = 0;
  // Whether it moves the current position, and where it leaves it.
  bool moves = false;
  int endX = 0, endY = 0;
  bool changesState = false;
};
