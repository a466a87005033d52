// zorva-render --scale: the same picture at F device pixels a unit.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/tools/ToolRun.h"

namespace {

std::string writeFile(const std::string& name, const std::string& bytes) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string outPath(const std::string& name) {
  const std::string path = testing::TempDir() + name;
  std::remove(path.c_str());
  return path;
}

// A red line at y = 20 from x 10 to 110, a circle and a text, on 200 x 100.
const char kPicture[] = "0 0 4 3 255 0 0 2 4 10 20 110 20 11 3 150 50 30 3 4 10 60 6 Sample ";

}  // namespace

TEST(RenderScale, TwiceTheSizeWithTheSameDrawing) {
  const std::string file = writeFile("scale.zv", kPicture);
  const std::string one = outPath("scale1.png"), two = outPath("scale2.png");
  ASSERT_EQ(runCommand(renderCommand("--size 200x100 -o " + one + " " + file)).status, 0);
  ASSERT_EQ(runCommand(renderCommand("--size 200x100 --scale 2 -o " + two + " " + file)).status, 0);
  const QImage a(QString::fromStdString(one)), b(QString::fromStdString(two));
  ASSERT_EQ(a.size(), QSize(200, 100));
  ASSERT_EQ(b.size(), QSize(400, 200));
  // Prints at the size of the unscaled picture.
  EXPECT_NEAR(b.dotsPerMeterX(), 2.0 * a.dotsPerMeterX(), 2);
  // The line: logical row 100 - 20 = 80, device rows 160 and 161 in full
  // colour, from device column 20 up to 220.
  for (int x = 20; x < 220; ++x) {
    EXPECT_EQ(b.pixel(x, 160), qRgb(255, 0, 0)) << x;
    EXPECT_EQ(b.pixel(x, 161), qRgb(255, 0, 0)) << x;
    EXPECT_EQ(b.pixel(x, 159), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(b.pixel(x, 162), qRgb(0, 0, 0)) << x;
  }
  EXPECT_EQ(b.pixel(19, 160), qRgb(0, 0, 0));
  EXPECT_EQ(b.pixel(220, 160), qRgb(0, 0, 0));
  // Every logical pixel of the line and the circle at scale 1 is lit in
  // its 2 x 2 block at scale 2 (give or take one unit on the curve).
  int missing = 0, lit = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      if (a.pixel(x, y) != qRgb(255, 0, 0)) continue;
      ++lit;
      bool near = false;
      for (int dy = -2; dy <= 3 && !near; ++dy)
        for (int dx = -2; dx <= 3 && !near; ++dx) {
          const QPoint p(2 * x + dx, 2 * y + dy);
          near = b.rect().contains(p) && b.pixel(p) == qRgb(255, 0, 0);
        }
      missing += !near;
    }
  EXPECT_GT(lit, 250);
  EXPECT_EQ(missing, 0);
  // The text (white, logical rows 40 to 52 or so, left of the circle):
  // drawn at the device's resolution, so neighbouring device columns
  // differ.
  int differing = 0, textPixels = 0;
  for (int y = 60; y < 120; ++y)
    for (int x = 0; x + 1 < 200; x += 2) {
      differing += b.pixel(x, y) != b.pixel(x + 1, y);
      textPixels += b.pixel(x, y) != qRgb(0, 0, 0);
    }
  EXPECT_GT(textPixels, 50);
  EXPECT_GT(differing, 20);
}

TEST(RenderScale, TraceIsTheSameAtAnyScale) {
  const std::string file = writeFile("scaletrace.zv", kPicture);
  const ToolRun plain = runCommand(renderCommand("--size 200x100 --trace " + file));
  const ToolRun scaled = runCommand(renderCommand("--size 200x100 --scale 3 --trace " + file));
  ASSERT_EQ(plain.status, 0);
  EXPECT_EQ(scaled.status, 0);
  EXPECT_EQ(scaled.out, plain.out);
  EXPECT_NE(plain.out.find("LineTo(110,-20)"), std::string::npos);
}

TEST(RenderScale, RefusedForVectorsBadValuesAndOversize) {
  const std::string file = writeFile("scalebad.zv", "0 0 ");
  for (const char* out : {"x.svg", "x.pdf"}) {
    const std::string path = outPath(out);
    const ToolRun r = runCommand(renderCommand("--scale 2 -o " + path + " " + file) + " 2>&1");
    EXPECT_EQ(r.status, 2) << out;
    EXPECT_NE(r.out.find("--scale is for PNG output"), std::string::npos) << r.out;
    EXPECT_FALSE(std::ifstream(path).good()) << "nothing written: " << out;
  }
  for (const char* bad : {"0", "5", "1.5", "2x", "", "-1"}) {
    const ToolRun r = runCommand(renderCommand(std::string("--scale '") + bad + "' " + file) + " 2>&1");
    EXPECT_EQ(r.status, 2) << bad;
  }
  EXPECT_EQ(runCommand(renderCommand("--scale") + " 2>/dev/null").status, 2);
  // F*W and F*H at most 16384.
  const std::string edge = outPath("scaleedge.png");
  ASSERT_EQ(runCommand(renderCommand("--size 4096x2 --scale 4 -o " + edge + " " + file)).status, 0);
  EXPECT_EQ(QImage(QString::fromStdString(edge)).size(), QSize(16384, 8));
  const ToolRun wide =
      runCommand(renderCommand("--size 4097x2 --scale 4 -o " + outPath("w.png") + " " + file) + " 2>&1");
  EXPECT_EQ(wide.status, 2);
  EXPECT_NE(wide.out.find("16384"), std::string::npos);
  EXPECT_EQ(runCommand(renderCommand("--size 2x8193 --scale 2 --trace " + file) + " 2>/dev/null").status, 2);
}
