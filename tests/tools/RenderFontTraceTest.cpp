// A file whose texts each follow a text-height item, cycling through more
// heights than any font cache keeps: every height item makes a font and
// deletes the one before, in the polling step and again in the replay,
// whatever the surfaces keep of the fonts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/tools/ToolRun.h"

namespace {

constexpr int kHeights = 70, kTexts = 2 * kHeights;

int heightOf(int i) { return 8 + i % kHeights; }
std::string textOf(int i) { return "t" + std::to_string(i); }

std::string font(int height) {
  return "CreateFontA(" + std::to_string(height) + ",0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")";
}

// Makes font `made` of `height`, selects it and deletes the font before it.
std::string replaceFont(int height, int& made) {
  ++made;
  return font(height) + "=font" + std::to_string(made) + "\nSelectObject(font" + std::to_string(made) +
         ")\nDeleteObject(font" + std::to_string(made - 1) + ")\n";
}

// The height items and texts, the newest font being font `made`.
std::string cycle(int& made) {
  std::string out;
  for (int i = 0; i < kTexts; ++i) {
    out += replaceFont(heightOf(i), made);
    const std::string t = textOf(i);
    out += "TextOutA(" + std::to_string(i) + "," + std::to_string(-i) + ",\"" + t + "\"," +
           std::to_string(t.size()) + ")\n";
  }
  return out;
}

}  // namespace

TEST(RenderFontTrace, HeightCyclingFileMakesAndDeletesEveryFont) {
  std::string file = "0 0 9 2 5 Arial ";
  for (int i = 0; i < kTexts; ++i) {
    const std::string t = textOf(i);
    file += "8 1 " + std::to_string(heightOf(i)) + " 3 4 " + std::to_string(i) + " " + std::to_string(i) +
            " " + std::to_string(t.size()) + " " + t + " ";
  }
  const std::string path = testing::TempDir() + "zorva-font-trace-" + std::to_string(::getpid()) + ".zv";
  std::ofstream(path, std::ios::binary) << file;
  const ToolRun r = runCommand(renderCommand("--size 200x100 --trace '" + path + "' 2>/dev/null"));
  ::unlink(path.c_str());
  ASSERT_EQ(r.status, 0);

  const int last = heightOf(kTexts - 1);
  int made = 1;
  const std::string colours = "SetTextColor(0x00FFFFFF)\nSetTextAlign(0)\n";
  const std::string whitePen = "GetStockObject(WHITE_PEN)\nSelectObject(WHITE_PEN)\n";
  // The start item applies its attribute items at once: the face at height
  // 0, the height of 12, colour, alignment and pens (the first pen of
  // width 0 is made, the width of 1 then gives the stock pen).
  std::string expected =
      "SetViewportOrgEx(0,100)\nEraseBkgnd(0,0,200,100,0x00000000)\nSetViewportOrgEx(0,100)\n"
      "SetBkMode(TRANSPARENT)\n" +
      font(0) + "=font1\nSelectObject(font1)\n";
  expected += replaceFont(12, made) + colours;
  expected += "CreatePen(0,0,0x00FFFFFF)=pen1\nSelectObject(pen1)\n" + whitePen + "DeleteObject(pen1)\n" + whitePen;
  // The font item, then the cycle.
  expected += replaceFont(12, made);
  expected += cycle(made);
  // The replay: the start's attribute items (the face at the height now
  // applied, then the start's height of 12, colour, alignment and pens),
  // the font item, then the same cycle again.
  expected += replaceFont(last, made);
  expected += replaceFont(12, made);
  expected += colours + whitePen + whitePen + whitePen;
  expected += replaceFont(12, made);
  expected += cycle(made);
  expected += "SelectObject(DEFAULT_PEN)\nSelectObject(DEFAULT_FONT)\nDeleteObject(font" +
              std::to_string(made) + ")\n";
  EXPECT_EQ(r.out, expected);
}
