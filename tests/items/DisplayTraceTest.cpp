// Traces of item rendering: each case renders items through a client
// context on a recording surface and compares every call made.
#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "framework/TClientDC.h"
#include "framework/TGdiObject.h"
#include "framework/surface/RecordingSurface.h"
#include "items/DrawAttributes.h"
#include "items/ItemDisplay.h"

namespace {

zvItem item(int kind, std::initializer_list<int> args, const char* s = "") {
  std::vector<int> a(args);
  return zvItem(kind, static_cast<int>(a.size()), a.data(), s);
}

// Renders the items on a fresh context; the trace includes the context's end.
std::string render(std::vector<zvItem> items) {
  std::ostringstream out;
  {
    RecordingSurface surface(out);
    TClientDC dc(surface);
    for (zvItem& i : items) DisplayItem(i, &dc);
  }
  return out.str();
}

class DisplayTrace : public ::testing::Test {
protected:
  void SetUp() override { resetDrawAttributes(); }
  void TearDown() override {
    EXPECT_EQ(TGdiObject::TableSize(), 0u);
    EXPECT_EQ(GdiObjects::LiveCount(), 0u);
  }
};

TEST_F(DisplayTrace, LineNegatesY) {
  EXPECT_EQ(render({item(ZV_LINE, {10, 20, 110, 20})}), "MoveToEx(10,-20)\nLineTo(110,-20)\n");
}

TEST_F(DisplayTrace, CircleAndQuarterArcs) {
  EXPECT_EQ(render({item(ZV_CIRCLE, {100, 100, 50})}), "Arc(50,-150,150,-50,50,-100,50,-100)\n");
  EXPECT_EQ(render({item(ZV_ARC, {100, 100, 100, 0, 90})}), "Arc(0,0,200,-200,200,-100,99,0)\n");
  EXPECT_EQ(render({item(ZV_ARC, {100, 100, 100, 90, 0})}), "Arc(0,0,200,-200,99,0,200,-100)\n");
}

TEST_F(DisplayTrace, TwoLineColoursDeleteTheFirstPen) {
  EXPECT_EQ(render({item(ZV_LINE_COLOR, {255, 128, 0}), item(ZV_LINE_COLOR, {1, 2, 3})}),
            "CreatePen(0,0,0x000080FF)=pen1\n"
            "SelectObject(pen1)\n"
            "CreatePen(0,0,0x00030201)=pen2\n"
            "SelectObject(pen2)\n"
            "DeleteObject(pen1)\n"
            "SelectObject(DEFAULT_PEN)\n"
            "DeleteObject(pen2)\n");
}

}  // namespace
