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
