// Use counts of pens and fonts, selection bookkeeping of device contexts,
// and the failures the platform can report.
#include <gtest/gtest.h>

#include <sstream>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TColor.h"
#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/RecordingSurface.h"
#include "tests/framework/gdi/GdiProbe.h"

namespace {

class GdiObject : public ::testing::Test {
protected:
  void TearDown() override {
    GdiProbe::FailNextCreations(0);
    GdiProbe::FailNextDeletions(0);
    EXPECT_EQ(GdiProbe::TableSize(), 0u);
    for (GdiHandle h : GdiProbe::LiveHandles()) GdiObjects::DeleteObject(h);
  }
};

TEST(Color, PacksAndSplitsComponents) {
  struct Case {
    int r, g, b;
    std::uint32_t value;
  } cases[] = {{255, 128, 0, 0x000080FF},
               {256, 0, 0, 0},
               {0, 0, 255, 0x00FF0000},
               {-1, -1, -1, 0x00FFFFFF},
               {0x1FF, 0x100, 0x17F, 0x007F00FF}};
  for (const auto& c : cases) {
    const TColor col(c.r, c.g, c.b);
    EXPECT_EQ(col.GetValue(), c.value);
    EXPECT_EQ(col.Red(), c.r & 0xFF);
    EXPECT_EQ(col.Green(), c.g & 0xFF);
    EXPECT_EQ(col.Blue(), c.b & 0xFF);
  }
  // A raw value keeps its top byte (reserved background values).
  EXPECT_EQ(TColor(0xFF000000u).GetValue(), 0xFF000000u);
  EXPECT_EQ(TColor().GetValue(), 0u);
}

TEST_F(GdiObject, WrapperEndDeletesAnUnselectedPen) {
  GdiHandle h;
  {
    TPen pen(TColor(1, 2, 3), 2);
    h = pen.GetHandle();
    EXPECT_TRUE(GdiProbe::IsOwner(pen));
    EXPECT_EQ(GdiProbe::RefCount(h), 1);
    EXPECT_TRUE(GdiObjects::IsPen(h));
  }
  EXPECT_EQ(GdiProbe::RefCount(h), -1);
  EXPECT_FALSE(GdiObjects::IsPen(h));
}

TEST_F(GdiObject, StockPensAreNotCounted) {
  TPen black(TColor(0, 0, 0), 1), white(TColor(255, 255, 255), 1);
  EXPECT_FALSE(GdiProbe::IsOwner(black));
  EXPECT_EQ(black.GetHandle(), GdiObjects::BlackPen);
  EXPECT_EQ(white.GetHandle(), GdiObjects::WhitePen);
  EXPECT_EQ(GdiProbe::RefCount(black.GetHandle()), -1);
  TGdiObject::RefInc(black.GetHandle());
  TGdiObject::RefDec(black.GetHandle());
  EXPECT_TRUE(GdiObjects::IsPen(GdiObjects::BlackPen));
  EXPECT_FALSE(GdiObjects::DeleteObject(GdiObjects::BlackPen));
}

// The stock objects and every context's initial objects: named, described,
// handed out by their stock index (the initial ones by none), and never
// counted or deleted whatever is asked of them.
TEST_F(GdiObject, StockAndInitialObjectsAreNeverCountedOrDeleted) {
  struct Case {
    GdiHandle handle;
    const char* name;
    int stockIndex;  // -1: not handed out
    bool pen;
    std::uint32_t colour;
  } cases[] = {{GdiObjects::WhitePen, "WHITE_PEN", WHITE_PEN, true, 0x00FFFFFF},
               {GdiObjects::BlackPen, "BLACK_PEN", BLACK_PEN, true, 0},
               {GdiObjects::DefaultPen, "DEFAULT_PEN", -1, true, 0},
               {GdiObjects::DefaultFont, "DEFAULT_FONT", -1, false, 0}};
  for (const Case& c : cases) {
    EXPECT_STREQ(GdiObjects::StockName(c.handle), c.name);
    if (c.stockIndex >= 0) {
      EXPECT_EQ(GdiObjects::GetStockObject(c.stockIndex), c.handle) << c.name;
    }
    EXPECT_EQ(GdiObjects::IsPen(c.handle), c.pen) << c.name;
    EXPECT_EQ(GdiObjects::IsFont(c.handle), !c.pen) << c.name;
    if (c.pen) {
      EXPECT_EQ(*GdiObjects::Pen(c.handle), (PenDesc{PS_SOLID, 1, c.colour})) << c.name;
    } else {
      EXPECT_EQ(*GdiObjects::Font(c.handle), FontDesc{}) << c.name;
    }
    TGdiObject::RefAdd(c.handle);
    TGdiObject::RefInc(c.handle);
    EXPECT_EQ(GdiProbe::RefCount(c.handle), -1) << c.name;
    for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(TGdiObject::RefDec(c.handle)) << c.name;
    EXPECT_FALSE(GdiObjects::DeleteObject(c.handle)) << c.name;
    EXPECT_STREQ(GdiObjects::StockName(c.handle), c.name);
  }
  // No other index names a stock object.
  for (int index : {-1, 0, 5, 8, 13, 99}) EXPECT_EQ(GdiObjects::GetStockObject(index), 0u) << index;
}

// A deleted object's handle names nothing, also once a new object takes
// its place, and counting it changes nothing.
TEST_F(GdiObject, AStaleHandleNamesNoLaterObject) {
  const GdiHandle pen = GdiObjects::CreatePen(PS_DOT, 1, 0x123456);
  ASSERT_TRUE(GdiObjects::DeleteObject(pen));
  TFont font("Arial", 9);
  const GdiHandle h = font.GetHandle();
  EXPECT_NE(h, pen);
  EXPECT_EQ(GdiObjects::Pen(pen), nullptr);
  EXPECT_EQ(GdiObjects::Font(pen), nullptr);
  TGdiObject::RefInc(pen);
  TGdiObject::RefDec(pen);
  EXPECT_FALSE(GdiObjects::DeleteObject(pen));
  EXPECT_EQ(GdiProbe::RefCount(h), 1);
  ASSERT_NE(GdiObjects::Font(h), nullptr);
  EXPECT_EQ(GdiObjects::Font(h)->face, "Arial");
}

// An object the platform refused to delete stays, uncounted, with its
// description; the next release of a count is the caller's again.
TEST_F(GdiObject, ARefusedDeletionLeavesTheObjectUncounted) {
  const GdiHandle h = GdiObjects::CreatePen(PS_SOLID, 4, 0x00010203);
  TGdiObject::RefAdd(h);
  GdiProbe::FailNextDeletions(1);
  EXPECT_THROW(TGdiObject::RefDec(h), TXGdi);
  EXPECT_EQ(GdiProbe::RefCount(h), -1);
  ASSERT_NE(GdiObjects::Pen(h), nullptr);
  EXPECT_EQ(GdiObjects::Pen(h)->width, 4);
  TGdiObject::RefAdd(h);
  EXPECT_EQ(GdiProbe::RefCount(h), 1);
  TGdiObject::RefDec(h);
  EXPECT_FALSE(GdiObjects::IsPen(h));
}

TEST_F(GdiObject, SelectedObjectOutlivesItsWrapper) {
  std::ostringstream out;
  RecordingSurface surface(out);
  TClientDC dc(surface);
  GdiHandle first, second;
  {
    TPen pen(TColor(9, 9, 9), 3);
    first = pen.GetHandle();
    dc.SelectObject(pen);
    EXPECT_EQ(GdiProbe::RefCount(first), 2);
  }
  EXPECT_EQ(GdiProbe::RefCount(first), 1);
  {
    TPen pen(TColor(8, 8, 8), 3);
    second = pen.GetHandle();
    dc.SelectObject(pen);
  }
  EXPECT_FALSE(GdiObjects::IsPen(first));
  EXPECT_EQ(GdiProbe::RefCount(second), 1);
  dc.RestoreObjects();
  EXPECT_FALSE(GdiObjects::IsPen(second));
  // Restoring twice does nothing more.
  dc.RestoreObjects();
  EXPECT_EQ(out.str(),
            "CreatePen(0,3,0x00090909)=pen1\nSelectObject(pen1)\n"
            "CreatePen(0,3,0x00080808)=pen2\nSelectObject(pen2)\nDeleteObject(pen1)\n"
            "SelectObject(DEFAULT_PEN)\nDeleteObject(pen2)\n");
}

TEST_F(GdiObject, OneObjectInTwoContexts) {
  std::ostringstream out;
  RecordingSurface s1(out), s2(out);
  GdiHandle h;
  {
    TClientDC a(s1), b(s2);
    TFont font("Arial", 12);
    h = font.GetHandle();
    a.SelectObject(font);
    b.SelectObject(font);
    EXPECT_EQ(GdiProbe::RefCount(h), 3);
  }
  EXPECT_FALSE(GdiObjects::IsFont(h));
}

TEST_F(GdiObject, CountsSaturateInsteadOfWrapping) {
  TPen pen(TColor(1, 1, 1), 0);
  const GdiHandle h = pen.GetHandle();
  for (int i = 0; i < 300; ++i) TGdiObject::RefInc(h);
  EXPECT_EQ(GdiProbe::RefCount(h), 255);
  for (int i = 0; i < 300; ++i) TGdiObject::RefDec(h);
  // Once saturated the object is never deleted, rather than too early.
  EXPECT_TRUE(GdiObjects::IsPen(h));
  EXPECT_EQ(GdiProbe::RefCount(h), 255);
  // Leave the table empty for the next test.
  GdiProbe::RefForget(h);
  EXPECT_TRUE(GdiObjects::DeleteObject(h));
}

TEST_F(GdiObject, FailedCreationRaises32739) {
  GdiProbe::FailNextCreations(2);
  try {
    TPen pen(TColor(1, 2, 3), 4);
    FAIL() << "no exception";
  } catch (const TGdiBase::TXGdi& e) {
    EXPECT_EQ(e.ResId(), 32739u);
    EXPECT_EQ(e.why(), "Exception #32739 (no message available).");
  }
  EXPECT_THROW(TFont(nullptr, 10), TXFramework);
  // Stock pens need no creation.
  EXPECT_NO_THROW(TPen(TColor(0, 0, 0), 1));
  EXPECT_EQ(GdiProbe::LiveCount(), 0u);
}

TEST_F(GdiObject, RefusedDeletionAtTheWrappersEndRaises32734) {
  GdiHandle h = 0;
  try {
    TPen pen(TColor(1, 2, 3), 4);
    h = pen.GetHandle();
    GdiProbe::FailNextDeletions(1);
  } catch (const TXGdi& e) {
    EXPECT_EQ(e.ResId(), 32734u);
    EXPECT_STREQ(e.what(), "Exception #32734 (no message available).");
  }
  EXPECT_TRUE(GdiObjects::IsPen(h));
  EXPECT_EQ(GdiProbe::RefCount(h), -1);
}

TEST_F(GdiObject, RefusedDeletionAtTheContextsEndIsNotRaised) {
  std::ostringstream out;
  RecordingSurface surface(out);
  {
    TClientDC dc(surface);
    dc.SelectObject(TPen(TColor(5, 5, 5), 2));
    dc.SelectObject(TFont("x", 3));
    GdiProbe::FailNextDeletions(1);
  }
  // The pen stayed; the font was still restored and deleted.
  EXPECT_EQ(GdiProbe::LiveCount(), 1u);
  EXPECT_EQ(out.str(),
            "CreatePen(0,2,0x00050505)=pen1\nSelectObject(pen1)\n"
            "CreateFontA(3,0,0,0,400,0,0,0,1,0,0,0,0,\"x\")=font1\nSelectObject(font1)\n"
            "SelectObject(DEFAULT_PEN)\nDeleteObject(pen1)\n"
            "SelectObject(DEFAULT_FONT)\nDeleteObject(font1)\n");
}

TEST_F(GdiObject, TextCountBelowZeroMeansTheWholeText) {
  std::ostringstream out;
  RecordingSurface surface(out);
  TClientDC dc(surface);
  dc.TextOutA(1, 2, "abc", -5);
  dc.TextOutA(1, 2, "abc", 2);
  dc.TextOutA(1, 2, nullptr, -1);
  EXPECT_EQ(out.str(), "TextOutA(1,2,\"abc\",3)\nTextOutA(1,2,\"ab\",2)\nTextOutA(1,2,\"\",0)\n");
}

}  // namespace
