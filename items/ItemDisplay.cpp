#include "items/ItemDisplay.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "items/DrawAttributes.h"

namespace {

// Whole degrees to single-precision radians, multiplying in this order.
float radians(int degrees) {
  return static_cast<float>(static_cast<double>(degrees) * std::numbers::pi * (1.0 / 180.0));
}

std::int64_t neg(int v) { return -static_cast<std::int64_t>(v); }

// The cosine and sine of whole degrees within a turn each way, worked out
// once by the same expressions as for any other angle.
constexpr int kTableTurn = 360;
struct UnitPoint {
  double c, s;
};
UnitPoint unitPoint(int degrees) {
  static const auto table = [] {
    std::array<UnitPoint, 2 * kTableTurn + 1> t{};
    for (int d = -kTableTurn; d <= kTableTurn; ++d) {
      const double a = radians(d);
      t[d + kTableTurn] = UnitPoint{std::cos(a), std::sin(a)};
    }
    return t;
  }();
  if (degrees >= -kTableTurn && degrees <= kTableTurn) return table[degrees + kTableTurn];
  const double a = radians(degrees);
  return UnitPoint{std::cos(a), std::sin(a)};
}

}  // namespace

int saturateInt(std::int64_t v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

int truncateInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

ArcArgs circleArcArgs(int x, int y, int r) {
  const std::int64_t X = x, Y = neg(y), R = r;
  return ArcArgs{saturateInt(X - R), saturateInt(Y - R), saturateInt(X + R), saturateInt(Y + R),
                 saturateInt(X - R), saturateInt(Y),     saturateInt(X - R), saturateInt(Y)};
}

ArcArgs arcArcArgs(int x, int y, int r, int a, int b) {
  const UnitPoint start = unitPoint(a), end = unitPoint(b);
  const double X = x, Y = -static_cast<double>(y), R = r;
  const std::int64_t xi = x, yi = neg(y), ri = r;
  return ArcArgs{saturateInt(xi - ri),
                 saturateInt(yi + ri),
                 saturateInt(xi + ri),
                 saturateInt(yi - ri),
                 truncateInt(X + R * start.c),
                 truncateInt(Y + R * start.s),
                 truncateInt(X + R * end.c),
                 truncateInt(Y + R * end.s)};
}

void refreshPen(TDC& dc, const DrawAttributes& attrs) {
  TPen pen(attrs.lineColor, attrs.lineWidth, attrs.lineType);
  dc.SelectObject(pen);
}

void refreshFont(TDC& dc, const DrawAttributes& attrs) {
  TFont font(attrs.fontName ? attrs.fontName->c_str() : nullptr, attrs.fontHeight, 0, 0, 0, FW_NORMAL,
             DEFAULT_PITCH | FF_DONTCARE, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
             DEFAULT_QUALITY);
  dc.SelectObject(font);
}

void zvItem::Display(TClientDC* winDC, DrawAttributes& attrs) {
  TDC& dc = *winDC;
  switch (func) {
    case ZV_LINE:
      dc.MoveToEx(args[0], saturateInt(neg(args[1])));
      dc.LineTo(args[2], saturateInt(neg(args[3])));
      break;
    case ZV_TEXT: {
      // A count beyond the text would read past it: it is cut to the text.
      // A negative count stays: the context draws the whole text for it.
      int count = args[2];
      if (count > 0 && static_cast<std::size_t>(count) > str.size()) count = static_cast<int>(str.size());
      dc.TextOutA(args[0], saturateInt(neg(args[1])), str.c_str(), count);
      break;
    }
    case ZV_LINE_COLOR:
      attrs.lineColor = TColor(args[0], args[1], args[2]);
      refreshPen(dc, attrs);
      break;
    case ZV_TEXT_COLOR:
      attrs.textColor = TColor(args[0], args[1], args[2]);
      dc.SetTextColor(attrs.textColor);
      break;
    case ZV_LINE_WIDTH:
      attrs.lineWidth = args[0];
      refreshPen(dc, attrs);
      break;
    case ZV_LINE_TYPE:
      if (const int style = lineTypeOfCode(args[0]); style >= 0) attrs.lineType = style;
      refreshPen(dc, attrs);
      break;
    case ZV_TEXT_HEIGHT:
      attrs.fontHeight = args[0];
      refreshFont(dc, attrs);
      break;
    case ZV_TEXT_FONT:
      attrs.setFontName(str.view());
      refreshFont(dc, attrs);
      break;
    case ZV_TEXT_ALIGN:
      if (const int flags = textAligOfCode(args[0]); flags >= 0) attrs.textAlig = flags;
      dc.SetTextAlign(static_cast<unsigned>(attrs.textAlig));
      break;
    case ZV_CIRCLE: {
      const ArcArgs c = circleArcArgs(args[0], args[1], args[2]);
      dc.Arc(c.left, c.top, c.right, c.bottom, c.xStart, c.yStart, c.xEnd, c.yEnd);
      break;
    }
    case ZV_ARC: {
      const ArcArgs c = arcArcArgs(args[0], args[1], args[2], args[3], args[4]);
      dc.Arc(c.left, c.top, c.right, c.bottom, c.xStart, c.yStart, c.xEnd, c.yEnd);
      break;
    }
    case ZV_POLYLINE:
      dc.MoveToEx(args[0], saturateInt(neg(args[1])));
      break;
    case ZV_POLYVERTEX:
      dc.LineTo(args[0], saturateInt(neg(args[1])));
      break;
    default:
      break;  // control items and unknown kinds draw nothing
  }
}

void zvItem::AddToRun(CallRun& run) const {
  switch (func) {
    case ZV_LINE:
      run.AddLine(args[0], saturateInt(neg(args[1])), args[2], saturateInt(neg(args[3])));
      break;
    case ZV_TEXT:
      // The count drawn is at most the text's bytes.
      run.AddText(args[0], saturateInt(neg(args[1])), static_cast<long long>(str.size()));
      break;
    case ZV_CIRCLE:
    case ZV_ARC: {
      // Both kinds' rectangles: (x - r, -y - r) to (x + r, -y + r).
      const std::int64_t r = args[2];
      run.AddRectangle(saturateInt(args[0] - r), saturateInt(neg(args[1]) - r), saturateInt(args[0] + r),
                       saturateInt(neg(args[1]) + r));
      break;
    }
    case ZV_POLYLINE:
      run.MoveTo(args[0], saturateInt(neg(args[1])));
      break;
    case ZV_POLYVERTEX:
      run.AddLineTo(args[0], saturateInt(neg(args[1])));
      break;
    default:
      // Attribute items change the context's state; control items and
      // unknown kinds make no call.
      if (const ItemKind* kind = findItemKind(func); kind && kind->itemClass == ItemClass::Attribute)
        run.ChangesState();
      break;
  }
}

void DisplayItem(zvItem& item, void* target) {
  auto* t = static_cast<DisplayTarget*>(target);
  item.Display(t->dc, *t->attributes);
}
