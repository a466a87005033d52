#pragma once
// The erase-and-replay picture of the display list, kept in an image at
// least as large as the screen and brought up to date item by item, so that
// a resize shows it at once instead of replaying the whole list. Its origin
// is its bottom-left corner, as the window's is: the bottom-left part of the
// size of the client area is exactly what erasing that client area and
// replaying the list once draws there.
//
// The items are drawn on a context of its own with attributes of its own,
// in list order, so it may lag behind the list and catch up later. It is
// exact only for a list that begins with the seven attribute items of a
// start or clear item and whose first position-dependent item (a polyline
// vertex) follows a line or polyline start: a replay of any other list
// depends on what the window's context holds when it runs.

#include <QImage>
#include <QSize>
#include <chrono>
#include <memory>

#include "items/DrawAttributes.h"

struct DisplayState;
class RasterSurface;
class TClientDC;

class RetainedPicture {
public:
  using Clock = std::chrono::steady_clock;

  RetainedPicture();
  ~RetainedPicture();
  RetainedPicture(const RetainedPicture&) = delete;
  RetainedPicture& operator=(const RetainedPicture&) = delete;

  // Keeps the picture in an image of `logical` size at `ratio`; another
  // size or ratio than before starts it afresh. False, and nothing kept,
  // when the image cannot be made.
  bool Fit(QSize logical, double ratio);
  // Keeps nothing.
  void Drop();
  // Draws in the view the window shows (RasterSurface::SetView); another
  // view than before starts the picture afresh.
  void SetView(double zoom, double panX, double panY);

  // Draws the items the picture lacks (starting afresh after a restart of
  // the list) until it has them all or `until` has passed. True when it
  // then shows the list exactly.
  bool CatchUp(DisplayState& state, Clock::time_point until);
  // Whether it shows exactly the list as it is now.
  bool Matches(const DisplayState& state) const;
  // Whether it has items to draw, or could become exact by drawing them.
  bool Behind(const DisplayState& state) const;

  // The picture, its drawing complete (device pixels, with the ratio).
  const QImage& Image();

private:
  void restart(const DisplayState& state);

  std::unique_ptr<QImage> image;
  QSize size;  // logical pixels
  std::unique_ptr<RasterSurface> surface;
  std::unique_ptr<TClientDC> dc;
  DrawAttributes attributes;
  double zoom = 1, panX = 0, panY = 0;  // the view
  unsigned generation = 0;   // the list restart it shows
  int drawn = 0;             // the items of that restart it shows
  bool exact = false;        // whether those items draw as a replay does
  bool positioned = false;   // a line or polyline start has set the position
};
