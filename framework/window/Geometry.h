#pragma once
// Points, sizes and rectangles in whole pixels of a window's client area
// (origin top-left, y down). A rectangle excludes its right and bottom edges.

struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  // 64-bit, so that any two corners give a defined result.
  long long Width() const { return static_cast<long long>(right) - left; }
  long long Height() const { return static_cast<long long>(bottom) - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool operator==(const TRect&) const = default;
};
