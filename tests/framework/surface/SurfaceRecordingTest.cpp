// The trace format of the recording surface.
#include <gtest/gtest.h>

#include <sstream>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/RecordingSurface.h"

namespace {

TEST(SurfaceRecording, QuotesWithCEscapes) {
  struct Case {
    std::string bytes;
    const char* quoted;
  } cases[] = {
      {"Hello", "\"Hello\""},
      {"a\"b", "\"a\\\"b\""},
      {"back\\slash", "\"back\\\\slash\""},
      {"n\nt\t", "\"n\\nt\\t\""},
      {std::string("\0\x01\x7F\x80\xFF", 5), "\"\\x00\\x01\\x7F\\x80\\xFF\""},
      {"\r ~", "\"\\x0D ~\""},
      {"", "\"\""},
  };
  for (const auto& c : cases) EXPECT_EQ(RecordingSurface::Quote(c.bytes.data(), c.bytes.size()), c.quoted);
}

TEST(SurfaceRecording, EveryCallOneLine) {
  std::ostringstream out;
  RecordingSurface s(out);
  s.SetViewportOrgEx(0, 600);
  s.SetBkMode(TRANSPARENT);
  s.SetBkMode(OPAQUE);
  s.SetBkMode(7);
  s.EraseBkgnd(0, 0, 800, 600, 0);
  s.SetTextColor(0x00FFFFFF);
  s.SetTextAlign(TA_CENTER);
  s.MoveToEx(-1, 2);
  s.LineTo(3, -4);
  s.TextOutA(10, -20, "Hello", 5);
  s.TextOutA(10, -20, "Hello", 0);
  s.Arc(0, 0, 200, -200, 200, -100, 99, 0);
  GdiObjects::GetStockObject(WHITE_PEN);
  GdiObjects::GetStockObject(99);
  EXPECT_EQ(s.SelectObject(GdiObjects::WhitePen), GdiObjects::DefaultPen);
  EXPECT_EQ(s.SelectObject(0), 0u);
  EXPECT_EQ(out.str(),
            "SetViewportOrgEx(0,600)\nSetBkMode(TRANSPARENT)\nSetBkMode(OPAQUE)\nSetBkMode(7)\n"
            "EraseBkgnd(0,0,800,600,0x00000000)\nSetTextColor(0x00FFFFFF)\nSetTextAlign(6)\n"
            "MoveToEx(-1,2)\nLineTo(3,-4)\nTextOutA(10,-20,\"Hello\",5)\nTextOutA(10,-20,\"\",0)\n"
            "Arc(0,0,200,-200,200,-100,99,0)\nGetStockObject(WHITE_PEN)\nGetStockObject(99)\n"
            "SelectObject(WHITE_PEN)\nSelectObject(NULL)\n");
}

TEST(SurfaceRecording, EachRunCountsFromOne) {
  for (int run = 0; run < 2; ++run) {
    std::ostringstream out;
    RecordingSurface s(out);
    {
      TClientDC dc(s);
      dc.SelectObject(TPen(TColor(1, 0, 0), 5, PS_DOT));
    }
    EXPECT_EQ(out.str(),
              "CreatePen(2,5,0x00000001)=pen1\nSelectObject(pen1)\n"
              "SelectObject(DEFAULT_PEN)\nDeleteObject(pen1)\n");
  }
}

TEST(SurfaceRecording, ObjectMadeBeforeTheSurfaceIsNamedWhenFirstSeen) {
  TPen early(TColor(7, 7, 7), 2);
  std::ostringstream out;
  {
    RecordingSurface s(out);
    TPen later(TColor(6, 6, 6), 2);
    EXPECT_EQ(s.NameOf(early.GetHandle()), "pen2");
    EXPECT_EQ(s.NameOf(later.GetHandle()), "pen1");
    EXPECT_EQ(s.NameOf(GdiObjects::DefaultFont), "DEFAULT_FONT");
    EXPECT_EQ(s.NameOf(GdiObjects::BlackPen), "BLACK_PEN");
  }
}

}  // namespace
