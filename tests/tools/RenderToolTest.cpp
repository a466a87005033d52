// zorva-render as a user runs it: a whole process, its output and status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/tools/ToolRun.h"

namespace {

ToolRun render(const std::string& args) { return runCommand(renderCommand(args) + " 2>/dev/null"); }

std::string writeFile(const std::string& name, const std::string& bytes) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string head(const std::string& path, size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::string s(n, '\0');
  in.read(s.data(), static_cast<std::streamsize>(n));
  s.resize(static_cast<size_t>(in.gcount()));
  return s;
}

}  // namespace

TEST(RenderTool, TraceOfASmallPicture) {
  const std::string file = writeFile("small.zv", "0 0 2 4 10 20 110 20 1 0 2 4 5 5 6 6 ");
  const ToolRun r = render("--size 200x100 --trace " + file);
  EXPECT_EQ(r.status, 0);
  // The start item applies its seven attribute items at once, as the
  // replay does again. The font item comes before the height, the colour
  // before the width: each attribute item makes its object from the values
  // applied so far.
  EXPECT_EQ(r.out,
            "SetViewportOrgEx(0,100)\n"
            "EraseBkgnd(0,0,200,100,0x00000000)\n"
            "SetViewportOrgEx(0,100)\n"
            "SetBkMode(TRANSPARENT)\n"
            "CreateFontA(0,0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")=font1\n"
            "SelectObject(font1)\n"
            "CreateFontA(12,0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")=font2\n"
            "SelectObject(font2)\n"
            "DeleteObject(font1)\n"
            "SetTextColor(0x00FFFFFF)\n"
            "SetTextAlign(0)\n"
            "CreatePen(0,0,0x00FFFFFF)=pen1\n"
            "SelectObject(pen1)\n"
            "GetStockObject(WHITE_PEN)\n"
            "SelectObject(WHITE_PEN)\n"
            "DeleteObject(pen1)\n"
            "GetStockObject(WHITE_PEN)\n"
            "SelectObject(WHITE_PEN)\n"
            "MoveToEx(10,-20)\n"
            "LineTo(110,-20)\n"
            "CreateFontA(12,0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")=font3\n"
            "SelectObject(font3)\n"
            "DeleteObject(font2)\n"
            "CreateFontA(12,0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")=font4\n"
            "SelectObject(font4)\n"
            "DeleteObject(font3)\n"
            "SetTextColor(0x00FFFFFF)\n"
            "SetTextAlign(0)\n"
            "GetStockObject(WHITE_PEN)\n"
            "SelectObject(WHITE_PEN)\n"
            "GetStockObject(WHITE_PEN)\n"
            "SelectObject(WHITE_PEN)\n"
            "GetStockObject(WHITE_PEN)\n"
            "SelectObject(WHITE_PEN)\n"
            "MoveToEx(10,-20)\n"
            "LineTo(110,-20)\n"
            "SelectObject(DEFAULT_PEN)\n"
            "SelectObject(DEFAULT_FONT)\n"
            "DeleteObject(font4)\n");
}

TEST(RenderTool, PngShowsTheLineAtItsPixels) {
  const std::string file = writeFile("png.zv", "0 0 4 3 255 0 0 2 4 10 20 110 20 ");
  const std::string out = testing::TempDir() + "zorva-render-test.png";
  std::remove(out.c_str());
  ASSERT_EQ(render("--size 200x100 -o " + out + " " + file).status, 0);
  QImage image(QString::fromStdString(out));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(200, 100));
  // 20 pixels above the bottom edge: row 100 - 20.
  EXPECT_EQ(image.pixel(50, 80), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(50, 70), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(150, 80), qRgb(0, 0, 0));
}

TEST(RenderTool, VectorFormatsAreWritten) {
  const std::string file = writeFile("vec.zv", "0 0 11 3 50 50 30 3 4 10 10 2 Hi");
  const std::string svg = testing::TempDir() + "zorva-render-test.svg";
  const std::string pdf = testing::TempDir() + "zorva-render-test.PDF";
  ASSERT_EQ(render("-o " + svg + " " + file).status, 0);
  ASSERT_EQ(render("-o " + pdf + " " + file).status, 0);
  EXPECT_NE(head(svg, 200).find("<svg"), std::string::npos);
  EXPECT_EQ(head(pdf, 5), "%PDF-");
}

TEST(RenderTool, ErrorsAndUsage) {
  const std::string file = writeFile("ok.zv", "0 0 ");
  EXPECT_EQ(render("--trace /nonexistent/zorva.tmp").status, 1);
  EXPECT_EQ(render("-o /nonexistent/dir/out.png " + file).status, 1);
  EXPECT_EQ(render("").status, 2);
  EXPECT_EQ(render("--size 0x5 " + file).status, 2);
  EXPECT_EQ(render("--size 100 " + file).status, 2);
  EXPECT_EQ(render("--size 99999x10 " + file).status, 2);
  EXPECT_EQ(render("-o out.gif " + file).status, 2);
  EXPECT_EQ(render("--bogus " + file).status, 2);
  EXPECT_EQ(render(file + " " + file).status, 2);
  const ToolRun help = render("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: zorva-render", 0), 0u);
}

TEST(RenderTool, NeverChangesTheFileItReads) {
  const std::string bytes = "0 0 2 4 1 1 5 5 1 0 ";
  const std::string file = writeFile("keep.zv", bytes);
  ASSERT_EQ(render("--trace " + file).status, 0);
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  EXPECT_EQ(s.str(), bytes);
}

TEST(RenderTool, NoBytePatternStallsTheFile) {
  const std::string line = "2 4 10 20 110 220 ";
  const std::string patterns[] = {
      std::string(1100, '\n'),
      std::string(2500, ' ') + std::string(2500, '\t'),
      std::string("2 4 1 1 2 2 \0 ", 14),
      "2 4 " + std::string(1100, '0') + "1 2 3 4 ",
      "3 4 1 1 5000 " + std::string(5000, 't'),
      "9 2 3000 " + std::string(3000, 'f'),
  };
  int n = 0;
  for (const std::string& pattern : patterns) {
    SCOPED_TRACE(n);
    const std::string file =
        writeFile("stall" + std::to_string(n++) + ".zv", line + pattern + "2 4 7 7 8 8 1 0 ");
    const ToolRun r = render("--size 200x100 --trace " + file);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("MoveToEx(7,-7)\nLineTo(8,-8)\n"), std::string::npos)
        << "the item after the pattern is drawn";
  }
}
