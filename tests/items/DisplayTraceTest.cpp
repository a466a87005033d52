// Traces of item rendering: each case renders items through a client
// context on a recording surface and compares every call made, the end of
// the context included.
#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RecordingSurface.h"
#include "items/DrawAttributes.h"
#include "items/ItemDisplay.h"
#include "tests/framework/gdi/GdiProbe.h"

namespace {

zvItem item(int kind, std::initializer_list<int> args, const char* s = "") {
  std::vector<int> a(args);
  return zvItem(kind, static_cast<int>(a.size()), a.data(), s);
}

// The attributes the rendering keeps; like the display's, they carry over
// from one render to the next until a test resets them.
DrawAttributes attributes;

std::string render(std::vector<zvItem> items) {
  std::ostringstream out;
  {
    RecordingSurface surface(out);
    TClientDC dc(surface);
    DisplayTarget target{&dc, &attributes};
    for (zvItem& i : items) DisplayItem(i, &target);
  }
  return out.str();
}

class DisplayTrace : public ::testing::Test {
protected:
  void SetUp() override { attributes.resetDrawAttributes(); }
  void TearDown() override {
    GdiProbe::FailNextCreations(0);
    GdiProbe::FailNextDeletions(0);
    // Every pen and font made was deleted by the context's end.
    EXPECT_EQ(GdiProbe::TableSize(), 0u);
    EXPECT_EQ(GdiProbe::LiveCount(), 0u);
  }
};

TEST_F(DisplayTrace, LinesAndPolylines) {
  struct Case {
    std::vector<zvItem> items;
    const char* trace;
  } cases[] = {
      {{item(ZV_LINE, {10, 20, 110, 20})}, "MoveToEx(10,-20)\nLineTo(110,-20)\n"},
      {{item(ZV_LINE, {10, 20, 110, 220}), item(ZV_POLYVERTEX, {5, 6})},
       "MoveToEx(10,-20)\nLineTo(110,-220)\nLineTo(5,-6)\n"},
      {{item(ZV_POLYLINE, {1, 2})}, "MoveToEx(1,-2)\n"},
      {{item(ZV_POLYLINE, {1, 2}), item(ZV_POLYVERTEX, {3, -4}), item(ZV_POLYVERTEX, {0, 0})},
       "MoveToEx(1,-2)\nLineTo(3,4)\nLineTo(0,0)\n"},
      // -INT_MIN does not fit: it reaches the surface saturated.
      {{item(ZV_LINE, {INT_MIN, INT_MIN, INT_MAX, INT_MAX})},
       "MoveToEx(-2147483648,2147483647)\nLineTo(2147483647,-2147483647)\n"},
  };
  for (auto& c : cases) EXPECT_EQ(render(c.items), c.trace);
}

TEST_F(DisplayTrace, TextCounts) {
  EXPECT_EQ(render({item(ZV_TEXT, {10, 20, 3}, "abc")}), "TextOutA(10,-20,\"abc\",3)\n");
  EXPECT_EQ(render({item(ZV_TEXT, {10, 20, -1}, "Hello")}), "TextOutA(10,-20,\"Hello\",5)\n");
  EXPECT_EQ(render({item(ZV_TEXT, {10, 20, 0}, "Hello")}), "TextOutA(10,-20,\"\",0)\n");
  EXPECT_EQ(render({item(ZV_TEXT, {10, 20, 2}, "Hello")}), "TextOutA(10,-20,\"He\",2)\n");
  // A count beyond the text is cut to the text instead of reading past it.
  EXPECT_EQ(render({item(ZV_TEXT, {0, 0, 1000}, "ab")}), "TextOutA(0,0,\"ab\",2)\n");
  EXPECT_EQ(render({item(ZV_TEXT, {1, 2, 7}, "a\"b\\c\td")}), "TextOutA(1,-2,\"a\\\"b\\\\c\\td\",7)\n");
}

TEST_F(DisplayTrace, AlignmentCodes) {
  struct Case {
    int code, stored;
  } cases[] = {{2, 6}, {3, 2}, {1, 0}, {4, 0}, {0, 0}, {-1, 0}, {INT_MIN, 0}};
  for (const auto& c : cases) {
    attributes.resetDrawAttributes();
    EXPECT_EQ(render({item(ZV_TEXT_ALIGN, {c.code})}), "SetTextAlign(" + std::to_string(c.stored) + ")\n")
        << c.code;
    EXPECT_EQ(attributes.textAlig, c.stored);
  }
  // An unknown code keeps the value and sends it again.
  EXPECT_EQ(render({item(ZV_TEXT_ALIGN, {3}), item(ZV_TEXT_ALIGN, {9})}),
            "SetTextAlign(2)\nSetTextAlign(2)\n");
  EXPECT_EQ(attributes.textAlig, 2);
}

TEST_F(DisplayTrace, LineTypeCodes) {
  struct Case {
    int code, stored;
  } cases[] = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {0, 0}, {5, 0}, {INT_MAX, 0}};
  for (const auto& c : cases) {
    attributes.resetDrawAttributes();
    EXPECT_EQ(render({item(ZV_LINE_TYPE, {c.code})}),
              "CreatePen(" + std::to_string(c.stored) +
                  ",0,0x00000000)=pen1\nSelectObject(pen1)\nSelectObject(DEFAULT_PEN)\n"
                  "DeleteObject(pen1)\n")
        << c.code;
    EXPECT_EQ(attributes.lineType, c.stored);
  }
  // Code 5 after code 3 keeps PS_DOT and still makes a pen.
  render({item(ZV_LINE_TYPE, {3}), item(ZV_LINE_TYPE, {5})});
  EXPECT_EQ(attributes.lineType, PS_DOT);
}

TEST_F(DisplayTrace, StockAndMadePens) {
  // Width 1, solid, pure black or pure white: the stock pens, never deleted.
  EXPECT_EQ(render({item(ZV_LINE_WIDTH, {1})}),
            "GetStockObject(BLACK_PEN)\nSelectObject(BLACK_PEN)\nSelectObject(DEFAULT_PEN)\n");
  EXPECT_EQ(render({item(ZV_LINE_COLOR, {255, 255, 255})}),
            "GetStockObject(WHITE_PEN)\nSelectObject(WHITE_PEN)\nSelectObject(DEFAULT_PEN)\n");
  attributes.resetDrawAttributes();
  EXPECT_EQ(render({item(ZV_LINE_WIDTH, {1}), item(ZV_LINE_COLOR, {255, 255, 255}), item(ZV_LINE_WIDTH, {0}),
                    item(ZV_LINE_WIDTH, {2}), item(ZV_LINE_WIDTH, {1}), item(ZV_LINE_TYPE, {2})}),
            "GetStockObject(BLACK_PEN)\nSelectObject(BLACK_PEN)\n"
            "GetStockObject(WHITE_PEN)\nSelectObject(WHITE_PEN)\n"
            "CreatePen(0,0,0x00FFFFFF)=pen1\nSelectObject(pen1)\n"
            "CreatePen(0,2,0x00FFFFFF)=pen2\nSelectObject(pen2)\nDeleteObject(pen1)\n"
            "GetStockObject(WHITE_PEN)\nSelectObject(WHITE_PEN)\nDeleteObject(pen2)\n"
            "CreatePen(1,1,0x00FFFFFF)=pen3\nSelectObject(pen3)\n"
            "SelectObject(DEFAULT_PEN)\nDeleteObject(pen3)\n");
}

TEST_F(DisplayTrace, ColourPacking) {
  struct Case {
    int r, g, b;
    unsigned value;
  } cases[] = {{255, 128, 0, 0x000080FF},   {256, 0, 0, 0},
               {-1, 0, 0, 0x000000FF},      {0, 0, 255, 0x00FF0000},
               {257, 258, 259, 0x00030201}, {INT_MIN, INT_MAX, 0x1234, 0x0034FF00}};
  for (const auto& c : cases) {
    attributes.resetDrawAttributes();
    render({item(ZV_LINE_COLOR, {c.r, c.g, c.b}), item(ZV_TEXT_COLOR, {c.r, c.g, c.b})});
    EXPECT_EQ(attributes.lineColor.GetValue(), c.value);
    EXPECT_EQ(attributes.textColor.GetValue(), c.value);
  }
  attributes.resetDrawAttributes();
  EXPECT_EQ(render({item(ZV_TEXT_COLOR, {255, 128, 0})}), "SetTextColor(0x000080FF)\n");
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

TEST_F(DisplayTrace, Fonts) {
  // A height before any face name: no face.
  EXPECT_EQ(render({item(ZV_TEXT_HEIGHT, {12})}),
            "CreateFontA(12,0,0,0,400,0,0,0,1,0,0,0,0,NULL)=font1\nSelectObject(font1)\n"
            "SelectObject(DEFAULT_FONT)\nDeleteObject(font1)\n");
  EXPECT_FALSE(attributes.fontName.has_value());
  EXPECT_EQ(render({item(ZV_TEXT_FONT, {5}, "Arial"), item(ZV_TEXT_FONT, {0}, "")}),
            "CreateFontA(12,0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")=font1\nSelectObject(font1)\n"
            "CreateFontA(12,0,0,0,400,0,0,0,1,0,0,0,0,\"\")=font2\nSelectObject(font2)\n"
            "DeleteObject(font1)\nSelectObject(DEFAULT_FONT)\nDeleteObject(font2)\n");
  ASSERT_TRUE(attributes.fontName.has_value());
  EXPECT_EQ(*attributes.fontName, "");
  EXPECT_EQ(attributes.fontHeight, 12);
}

TEST_F(DisplayTrace, PenAndFontRestoredInThatOrder) {
  EXPECT_EQ(render({item(ZV_TEXT_HEIGHT, {-8}), item(ZV_LINE_WIDTH, {3})}),
            "CreateFontA(-8,0,0,0,400,0,0,0,1,0,0,0,0,NULL)=font1\nSelectObject(font1)\n"
            "CreatePen(0,3,0x00000000)=pen1\nSelectObject(pen1)\n"
            "SelectObject(DEFAULT_PEN)\nDeleteObject(pen1)\n"
            "SelectObject(DEFAULT_FONT)\nDeleteObject(font1)\n");
}

TEST_F(DisplayTrace, CirclesAndArcs) {
  struct Case {
    zvItem it;
    const char* trace;
  } cases[] = {
      {item(ZV_CIRCLE, {100, 100, 50}), "Arc(50,-150,150,-50,50,-100,50,-100)\n"},
      {item(ZV_ARC, {100, 100, 100, 0, 90}), "Arc(0,0,200,-200,200,-100,99,0)\n"},
      {item(ZV_ARC, {100, 100, 100, 90, 0}), "Arc(0,0,200,-200,99,0,200,-100)\n"},
      {item(ZV_ARC, {100, 100, 100, 45, 45}), "Arc(0,0,200,-200,170,-29,170,-29)\n"},
      {item(ZV_CIRCLE, {0, 0, -5}), "Arc(5,5,-5,-5,5,0,5,0)\n"},
      {item(ZV_CIRCLE, {0, 0, 0}), "Arc(0,0,0,0,0,0,0,0)\n"},
  };
  for (auto& c : cases) EXPECT_EQ(render({c.it}), c.trace);
}

TEST_F(DisplayTrace, KindsThatDoNothing) {
  for (int kind : std::vector<int>{ZV_INIT, ZV_EXIT, ZV_CLEAR, -1, 16, INT_MIN, INT_MAX}) {
    EXPECT_EQ(render({item(kind, {1, 2, 3, 4, 5}, "x")}), "") << kind;
  }
  EXPECT_EQ(attributes.lineWidth, 0);
  EXPECT_EQ(attributes.lineColor.GetValue(), 0u);
  EXPECT_EQ(attributes.textAlig, 0);
  EXPECT_FALSE(attributes.fontName.has_value());
}

TEST_F(DisplayTrace, ReplayMakesNewObjectsEachTime) {
  std::vector<zvItem> list = {item(ZV_LINE_COLOR, {255, 0, 0}), item(ZV_LINE, {0, 0, 1, 1})};
  std::ostringstream out;
  {
    RecordingSurface surface(out);
    TClientDC dc(surface);
    DisplayTarget target{&dc, &attributes};
    for (int pass = 0; pass < 2; ++pass)
      for (zvItem& i : list) DisplayItem(i, &target);
    EXPECT_EQ(GdiProbe::LiveCount(), 1u);
  }
  EXPECT_EQ(out.str(),
            "CreatePen(0,0,0x000000FF)=pen1\nSelectObject(pen1)\nMoveToEx(0,0)\nLineTo(1,-1)\n"
            "CreatePen(0,0,0x000000FF)=pen2\nSelectObject(pen2)\nDeleteObject(pen1)\n"
            "MoveToEx(0,0)\nLineTo(1,-1)\nSelectObject(DEFAULT_PEN)\nDeleteObject(pen2)\n");
}

TEST_F(DisplayTrace, FailedCreationRaisesAfterTheAttributeChanged) {
  std::ostringstream out;
  RecordingSurface surface(out);
  TClientDC dc(surface);
  GdiProbe::FailNextCreations(1);
  zvItem colour = item(ZV_LINE_COLOR, {1, 2, 3});
  try {
    colour.Display(&dc, attributes);
    FAIL() << "no exception";
  } catch (const TGdiBase::TXGdi& e) {
    EXPECT_EQ(e.ResId(), 32739u);
    EXPECT_STREQ(e.what(), "Exception #32739 (no message available).");
  }
  EXPECT_EQ(attributes.lineColor.GetValue(), 0x00030201u);
  EXPECT_EQ(out.str(), "");  // nothing made, nothing selected

  GdiProbe::FailNextCreations(1);
  zvItem height = item(ZV_TEXT_HEIGHT, {30});
  EXPECT_THROW(height.Display(&dc, attributes), TXGdi);
  EXPECT_EQ(attributes.fontHeight, 30);
  EXPECT_EQ(out.str(), "");
}

TEST_F(DisplayTrace, RefusedDeletionRaisesFromTheSelection) {
  std::ostringstream out;
  {
    RecordingSurface surface(out);
    TClientDC dc(surface);
    zvItem first = item(ZV_LINE_COLOR, {1, 0, 0}), second = item(ZV_LINE_COLOR, {2, 0, 0});
    first.Display(&dc, attributes);
    GdiProbe::FailNextDeletions(1);
    try {
      second.Display(&dc, attributes);
      FAIL() << "no exception";
    } catch (const TXGdi& e) {
      EXPECT_EQ(e.ResId(), 32734u);
      EXPECT_STREQ(e.what(), "Exception #32734 (no message available).");
    }
    // The refused pen stays alive; the new one is selected and counted once.
    EXPECT_EQ(GdiProbe::LiveCount(), 2u);
  }
  EXPECT_EQ(out.str(),
            "CreatePen(0,0,0x00000001)=pen1\nSelectObject(pen1)\n"
            "CreatePen(0,0,0x00000002)=pen2\nSelectObject(pen2)\nDeleteObject(pen1)\n"
            "SelectObject(DEFAULT_PEN)\nDeleteObject(pen2)\n");
  // The pen the platform refused to delete is still there.
  const std::vector<GdiHandle> left = GdiProbe::LiveHandles();
  ASSERT_EQ(left.size(), 1u);
  ASSERT_NE(GdiObjects::Pen(left[0]), nullptr);
  EXPECT_EQ(GdiObjects::Pen(left[0])->color, 1u);
  EXPECT_TRUE(GdiObjects::DeleteObject(left[0]));
}

}  // namespace
