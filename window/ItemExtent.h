#pragma once
// The extent of the drawing items of a display list, in item coordinates:
// lines and polyline points by their points, circles and arcs by their
// squares, texts by their point and an estimate of their box from the text
// height in force and the count of characters (the window has no font
// metrics at hand, and a fitting picture needs no more).

#include <limits>

struct DisplayState;

struct ItemExtent {
  double left = std::numeric_limits<double>::infinity();
  double bottom = std::numeric_limits<double>::infinity();
  double right = -std::numeric_limits<double>::infinity();
  double top = -std::numeric_limits<double>::infinity();

  bool Empty() const { return left > right || bottom > top; }
  void Add(double x, double y);
};

// Every drawing item of the list.
ItemExtent ExtentOf(DisplayState& state);
