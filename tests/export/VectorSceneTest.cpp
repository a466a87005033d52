// The vector scene keeps each drawing once, at its last occurrence, leaves
// out what a later erase of the whole area hides, and keeps everything else
// in order: what it paints is read back as a trace.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "export/VectorScene.h"
#include "tests/framework/gdi/GdiProbe.h"
#include "framework/surface/GdiObjects.h"
#include "framework/surface/RecordingSurface.h"

namespace {

constexpr int W = 200, H = 100;

// What the scene paints, as a trace.
std::string painted(const VectorScene& scene) {
  std::ostringstream trace;
  {
    RecordingSurface recorder(trace);
    scene.Paint(recorder);
  }
  return trace.str();
}

void line(Surface& s, int x0, int y0, int x1, int y1) {
  s.MoveToEx(x0, y0);
  s.LineTo(x1, y1);
}

// Pens made by the test, deleted with it.
struct Pen {
  explicit Pen(int style, int width, std::uint32_t colour) : handle(GdiObjects::CreatePen(style, width, colour)) {}
  ~Pen() { GdiObjects::DeleteObject(handle); }
  GdiHandle handle;
};

}  // namespace

TEST(VectorScene, ALiveDrawingAndItsReplayAreKeptOnce) {
  VectorScene scene(W, H);
  Pen white(PS_SOLID, 1, 0x00FFFFFF);
  for (int pass = 0; pass < 2; ++pass) {  // live, then a paint's replay
    scene.SetViewportOrgEx(0, H);
    scene.SelectObject(white.handle);
    line(scene, 10, -20, 110, -20);
    line(scene, 5, -5, 6, -6);
    scene.Arc(0, 0, 50, -50, 50, -25, 25, 0);
    scene.SetTextColor(0x0000FF00);
    scene.TextOutA(10, -40, "Hello", 5);
  }
  EXPECT_EQ(scene.Count(), 4u);
  EXPECT_EQ(painted(scene),
            "SetViewportOrgEx(0,100)\n"
            "CreatePen(0,1,0x00FFFFFF)=pen1\n"
            "SelectObject(pen1)\n"
            "MoveToEx(10,-20)\n"
            "LineTo(110,-20)\n"
            "MoveToEx(5,-5)\n"
            "LineTo(6,-6)\n"
            "Arc(0,0,50,-50,50,-25,25,0)\n"
            "CreateFontA(0,0,0,0,400,0,0,0,1,0,0,0,0,NULL)=font1\n"  // the default font's description
            "SelectObject(font1)\n"
            "SetTextColor(0x0000FF00)\n"
            "TextOutA(10,-40,\"Hello\",5)\n"
            "SelectObject(DEFAULT_PEN)\n"
            "SelectObject(DEFAULT_FONT)\n"
            "DeleteObject(pen1)\n"
            "DeleteObject(font1)\n");
  EXPECT_EQ(GdiProbe::LiveCount(), 1u) << "only the test's own pen is left";
}

TEST(VectorScene, ARepeatedDrawingMovesToItsLastOccurrence) {
  VectorScene scene(W, H);
  line(scene, 1, 1, 9, 9);  // A
  line(scene, 2, 2, 8, 8);  // B
  line(scene, 1, 1, 9, 9);  // A again: drawn over B
  EXPECT_EQ(scene.Count(), 2u);
  const std::string trace = painted(scene);
  EXPECT_LT(trace.find("LineTo(8,8)"), trace.find("LineTo(9,9)")) << trace;
}

TEST(VectorScene, DrawingsDifferingInAnythingTheyUseAreAllKept) {
  Pen red(PS_SOLID, 1, 0x000000FF);
  FontDesc big;
  big.height = 30;
  const GdiHandle bigFont = GdiObjects::CreateFontA(big);
  struct Case {
    const char* name;
    void (*change)(Surface&, GdiHandle pen, GdiHandle font);
    bool text;  // the drawing compared is a text, else a line
    bool kept;  // whether the second drawing is kept beside the first
  } cases[] = {
      {"another pen", [](Surface& s, GdiHandle pen, GdiHandle) { s.SelectObject(pen); }, false, true},
      {"another origin", [](Surface& s, GdiHandle, GdiHandle) { s.SetViewportOrgEx(0, 7); }, false, true},
      {"a font, for a line", [](Surface& s, GdiHandle, GdiHandle font) { s.SelectObject(font); }, false, false},
      {"a text colour", [](Surface& s, GdiHandle, GdiHandle) { s.SetTextColor(0x00123456); }, true, true},
      {"an alignment", [](Surface& s, GdiHandle, GdiHandle) { s.SetTextAlign(TA_RIGHT); }, true, true},
      {"a background mode", [](Surface& s, GdiHandle, GdiHandle) { s.SetBkMode(TRANSPARENT); }, true, true},
      {"a font", [](Surface& s, GdiHandle, GdiHandle font) { s.SelectObject(font); }, true, true},
      {"a pen, for a text", [](Surface& s, GdiHandle pen, GdiHandle) { s.SelectObject(pen); }, true, false},
      {"the same description", [](Surface& s, GdiHandle, GdiHandle) { s.SelectObject(GdiObjects::BlackPen); },
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VectorScene scene(W, H);
    for (int i = 0; i < 2; ++i) {
      if (i == 1) c.change(scene, red.handle, bigFont);
      if (c.text)
        scene.TextOutA(5, 5, "same", 4);
      else
        line(scene, 0, 0, 50, 50);
    }
    EXPECT_EQ(scene.Count(), c.kept ? 2u : 1u);
  }
  GdiObjects::DeleteObject(bigFont);
}

TEST(VectorScene, AnEraseOfTheWholeAreaHidesWhatCameBefore) {
  struct Case {
    int x, y, w, h;
    std::size_t kept;  // drawings after the erase: the line, the erase, the line after it
  } cases[] = {
      {0, 0, W, H, 2},            // the whole area: the line before is left out
      {-5, -5, W + 10, H + 10, 2},  // more than the whole area
      {0, 0, W, H - 1, 3},        // one row short: the line before stays
      {1, 0, W, H, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " " + std::to_string(c.w) + "x" +
                 std::to_string(c.h));
    VectorScene scene(W, H);
    line(scene, 1, 1, 50, 50);
    scene.EraseBkgnd(c.x, c.y, c.w, c.h, 0);
    line(scene, 2, 2, 60, 60);
    EXPECT_EQ(scene.Count(), c.kept);
    EXPECT_EQ(painted(scene).find("LineTo(50,50)") != std::string::npos, c.kept == 3);
  }
}

TEST(VectorScene, TheOldPictureUnderAStartThatDoesNotEraseStays) {
  // A line, then a start item (origin, background mode, attributes) and its
  // replay of the new list: the old line was drawn once and still shows.
  VectorScene scene(W, H);
  scene.SetViewportOrgEx(0, H);
  line(scene, 10, -10, 90, -10);
  scene.SetViewportOrgEx(0, H);
  scene.SetBkMode(TRANSPARENT);
  line(scene, 10, -50, 90, -50);
  line(scene, 10, -50, 90, -50);
  EXPECT_EQ(scene.Count(), 2u);
  const std::string trace = painted(scene);
  EXPECT_NE(trace.find("LineTo(90,-10)"), std::string::npos);
  EXPECT_NE(trace.find("LineTo(90,-50)"), std::string::npos);
}

TEST(VectorScene, ALineIsTheSameOnlyInTheSameRunOfLines) {
  // The dash pattern runs on along connected lines: the same segment
  // reached from another segment, or started afresh, is drawn otherwise.
  VectorScene scene(W, H);
  line(scene, 0, 0, 10, 0);
  scene.LineTo(20, 0);  // continues the run
  line(scene, 10, 0, 20, 0);  // the same segment, starting a run
  EXPECT_EQ(scene.Count(), 3u);
  // The run drawn again as it was: each segment kept once, and painted so
  // that the second still continues the first (no move between them).
  line(scene, 0, 0, 10, 0);
  scene.LineTo(20, 0);
  EXPECT_EQ(scene.Count(), 3u);
  const std::string trace = painted(scene);
  EXPECT_NE(trace.find("MoveToEx(0,0)\nLineTo(10,0)\nLineTo(20,0)\n"), std::string::npos) << trace;
}

TEST(VectorScene, StateCallsReturnThePreviousValues) {
  VectorScene scene(W, H);
  EXPECT_EQ(scene.SetTextColor(5), 0u);
  EXPECT_EQ(scene.SetTextColor(6), 5u);
  EXPECT_EQ(scene.SetTextAlign(TA_CENTER), 0u);
  EXPECT_EQ(scene.SetBkMode(TRANSPARENT), OPAQUE);
  EXPECT_EQ(scene.SelectObject(GdiObjects::WhitePen), GdiObjects::DefaultPen);
  const GdiHandle font = GdiObjects::CreateFontA(FontDesc{});
  EXPECT_EQ(scene.SelectObject(font), GdiObjects::DefaultFont);
  EXPECT_EQ(scene.SelectObject(0), 0u);
  EXPECT_EQ(scene.SelectObject(GdiObjects::BlackPen), GdiObjects::WhitePen);
  EXPECT_EQ(scene.SelectObject(GdiObjects::DefaultFont), font);
  GdiObjects::DeleteObject(font);
}

TEST(VectorScene, ManyDrawingsEachRepeatedAreKeptOnceInOrder) {
  // Enough drawings that dropped ones are swept out of the store on the way.
  VectorScene scene(W, H);
  for (int pass = 0; pass < 3; ++pass)
    for (int i = 0; i < 20000; ++i) line(scene, i, 0, i, 5);
  EXPECT_EQ(scene.Count(), 20000u);
  const std::string trace = painted(scene);
  EXPECT_LT(trace.find("LineTo(0,5)"), trace.find("LineTo(19999,5)"));
  EXPECT_EQ(trace.find("LineTo(0,5)"), trace.rfind("LineTo(0,5)"));
}
