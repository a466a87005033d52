#pragma once
// What part of the picture the window shows, and how large: item points
// are scaled by the zoom and moved by the pan, measured from the client
// area's bottom-left corner, where the origin is. A resize moves that
// corner and the view with it, as it moves the origin; nothing else about
// the view changes then.
//
// Client points are logical pixels of the client area, x right and y down
// from its top-left corner; the client area is H pixels high. At 1:1 and
// no pan, item point (x, y) is client point (x, H - y): the view is then
// the identity and everything is as without one.

#include <string>

struct ItemExtent;

class View {
public:
  // Zoom levels: the zoom is 2^(level / 2), steps of the square root of 2,
  // so that 1 and 2 are exact; from 1/16 to 64.
  static constexpr int MinLevel = -8;
  static constexpr int MaxLevel = 12;

  int Level() const { return level; }
  double Zoom() const;
  // The pan: where item point (0, 0) lies, in client pixels right of and
  // above the bottom-left corner.
  double PanX() const { return panX; }
  double PanY() const { return panY; }
  bool IsIdentity() const { return level == 0 && panX == 0 && panY == 0; }

  // The item point under client point (c, r).
  double ItemX(double c) const;
  double ItemY(double r, int height) const;
  // The client point of item point (x, y).
  double ClientX(double x) const;
  double ClientY(double y, int height) const;

  // Zooms by `steps` levels (clamped to the range) about client point
  // (c, r), which shows the same item point afterwards. False when the
  // level does not change.
  bool ZoomAbout(int steps, double c, double r, int height);
  // Moves the picture by (dc, dr) client pixels.
  void Pan(double dc, double dr);
  // Back to 1:1, no pan.
  void Reset();
  // The largest level at which `extent` fits a client area of w x h, with
  // the extent centred; nothing changes for an empty extent.
  void Fit(const ItemExtent& extent, int w, int h);

private:
  int level = 0;
  double panX = 0;
  double panY = 0;
};

// The label of the pointer's position: the whole item coordinates under
// client pixel (c, r) of a client area `height` high, as "(x, y)". At 1:1
// it reads (c, height - r); otherwise the inverse of the view, rounded the
// same way (x down, y up to whole numbers).
std::string CoordinateLabel(const View& view, int c, int r, int height);
