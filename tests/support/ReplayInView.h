#pragma once
// Replays of a display list on a black image in a view, for the tests and
// the fuzz target that compare one way of replaying with another.

#include <QImage>

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"
#include "items/ItemDisplay.h"
#include "stream/DisplayState.h"

struct ReplayView {
  double ratio, zoom, panX, panY;
};

// A black w x h image (logical pixels) at the view's ratio, on which
// `replay(surface, dc)` draws through a surface of type S in the view, with
// the origin at the bottom-left corner, transparent text and the state's
// attributes at their start values; then a line from wherever the replay
// left the current position to the middle.
template <typename S = RasterSurface, typename Replay>
QImage ReplayInView(DisplayState& state, int w, int h, const ReplayView& view, Replay replay) {
  QImage image(static_cast<int>(w * view.ratio), static_cast<int>(h * view.ratio), QImage::Format_RGB32);
  image.setDevicePixelRatio(view.ratio);
  image.fill(0xFF000000u);
  {
    S surface(&image);
    surface.SetView(view.zoom, view.panX, view.panY);
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, h);
    dc.SetBkMode(TRANSPARENT);
    state.resetDrawAttributes();
    replay(surface, dc);
    dc.LineTo(w / 2, -h / 2);
  }
  return image;
}

// Every item of the list, each making its calls: no run passed over.
inline void ReplayEachItem(DisplayState& state, TClientDC& dc) {
  DisplayTarget target{&dc, &state};
  state.displayList.ForEach(DisplayItem, &target, 0, state.displayList.Count());
}
