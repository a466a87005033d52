#include "window/ItemExtent.h"

#include <algorithm>

#include "items/zvItem.h"
#include "stream/DisplayState.h"

void ItemExtent::Add(double x, double y) {
  left = std::min(left, x);
  right = std::max(right, x);
  bottom = std::min(bottom, y);
  top = std::max(top, y);
}

namespace {

struct Walk {
  ItemExtent extent;
  int height = 12;  // the text height in force; a start item's until one comes
  int align = 1;    // the alignment code in force (1 left, 2 centre, 3 right)
};

void visit(zvItem& item, void* arg) {
  Walk& w = *static_cast<Walk*>(arg);
  ItemExtent& e = w.extent;
  const double a = item.GetArg(0), b = item.GetArg(1), c = item.GetArg(2), d = item.GetArg(3);
  switch (item.GetFunc()) {
    case ZV_LINE:
      e.Add(a, b);
      e.Add(c, d);
      break;
    case ZV_CIRCLE:
    case ZV_ARC:
      e.Add(a - c, b - c);
      e.Add(a + c, b + c);
      break;
    case ZV_POLYLINE:
    case ZV_POLYVERTEX:
      e.Add(a, b);
      break;
    case ZV_TEXT: {
      // The text hangs below its point; about 0.6 of the height a character.
      const double h = std::max(w.height, 1), width = 0.6 * h * std::max(c, 0.0);
      const double left = w.align == 3 ? a - width : w.align == 2 ? a - width / 2 : a;
      e.Add(left, b);
      e.Add(left + width, b - h);
      break;
    }
    case ZV_TEXT_HEIGHT:
      w.height = item.GetArg(0);
      break;
    case ZV_TEXT_ALIGN:
      w.align = item.GetArg(0);
      break;
    default:
      break;
  }
}

}  // namespace

ItemExtent ExtentOf(DisplayState& state) {
  Walk walk;
  state.displayList.ForEach(visit, &walk, 0, state.displayList.Count());
  return walk.extent;
}
