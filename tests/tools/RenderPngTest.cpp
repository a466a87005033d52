// zorva-render's PNG files hold exactly the picture: the same command files
// are drawn here on an image as the tool draws them, and the file the tool
// wrote decodes to that image pixel for pixel, at the stated resolution.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "framework/surface/RasterSurface.h"
#include "tests/support/GuiAppTest.h"
#include "tests/support/ImageCompare.h"
#include "tests/tools/ToolRun.h"
#include "tools/RenderFile.h"

namespace {

struct Picture {
  const char* name;
  const char* bytes;
};

const Picture kPictures[] = {
    {"lines in colours and widths",
     "0 0 4 3 255 0 0 2 4 10 20 300 20 6 1 3 4 3 0 255 0 2 4 10 40 300 180 6 1 8 4 3 30 60 250 "
     "2 4 300 10 20 190 6 1 1 7 1 2 2 4 10 100 300 100 7 1 3 2 4 10 110 300 110 7 1 4 2 4 10 120 300 120 "},
    {"texts in heights, colours and alignments",
     "0 0 3 4 10 190 5 Hello 5 3 255 255 0 8 1 24 3 4 10 150 6 Bigger 10 1 2 5 3 0 200 255 "
     "3 4 160 100 8 centred! 10 1 3 8 1 9 3 4 310 60 5 right 9 2 15 Liberation Serif 3 4 10 40 5 serif "},
    {"circles, arcs and polylines",
     "0 0 11 3 100 100 50 4 3 255 128 0 6 1 5 13 5 200 100 60 30 200 14 2 10 10 15 2 80 150 "
     "15 2 150 20 15 2 290 180 6 1 0 11 3 250 150 3 "},
};

class RenderPng : public GuiAppTest {
protected:
  std::string writeFile(const std::string& name, const std::string& bytes) {
    const std::string path = testing::TempDir() + "zorva-png-" + std::to_string(::getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The picture as zorva-render draws it before writing it out.
  static QImage drawn(const std::string& file, int w, int h, int scale) {
    QImage image(w * scale, h * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.setDotsPerMeterX(image.dotsPerMeterX() * scale);
    image.setDotsPerMeterY(image.dotsPerMeterY() * scale);
    image.fill(Qt::black);
    RasterSurface surface(&image);
    EXPECT_TRUE(RenderFile(file.c_str(), surface, w, h).opened);
    surface.End();
    return image;
  }
};

}  // namespace

TEST_F(RenderPng, FileHoldsTheDrawnPicture) {
  int n = 0;
  for (const Picture& picture : kPictures)
    for (int scale : {1, 2}) {
      SCOPED_TRACE(std::string(picture.name) + ", scale " + std::to_string(scale));
      const std::string file = writeFile(std::to_string(n) + ".zv", picture.bytes);
      const std::string out = testing::TempDir() + "zorva-png-" + std::to_string(n++) + ".png";
      std::remove(out.c_str());
      const ToolRun r = runCommand(renderCommand("--size 320x200 --scale " + std::to_string(scale) + " -o '" +
                                                 out + "' '" + file + "'"));
      ASSERT_EQ(r.status, 0);
      const QImage expected = drawn(file, 320, 200, scale);
      const QImage written(QString::fromStdString(out));
      ASSERT_FALSE(written.isNull());
      EXPECT_EQ(written.format(), QImage::Format_RGB32) << "8-bit RGB, no alpha";
      EXPECT_EQ(firstDifference(written, expected), "");
      EXPECT_EQ(written.dotsPerMeterX(), expected.dotsPerMeterX());
      EXPECT_EQ(written.dotsPerMeterY(), expected.dotsPerMeterY());
      // Not an empty picture by mistake.
      EXPECT_NE(firstDifference(written, QImage(written.size(), QImage::Format_RGB32)), "");
      std::remove(file.c_str());
      std::remove(out.c_str());
    }
}

// Enough items for the display list's memory to be made on its worker and
// enough rows for the PNG to be deflated in several bands: the trace and
// the pixels are the same on every number of threads.
TEST_F(RenderPng, EveryNumberOfThreadsGivesTheSameTraceAndPixels) {
  std::string bytes = kPictures[0].bytes;
  for (int i = 0; i < 150'000; ++i) {
    const int x = (i * 37) % 1590, y = (i * 53) % 1190;
    bytes += "2 4 " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + 9) + " " +
             std::to_string(y + (i % 19) - 9) + " ";
  }
  const std::string file = writeFile("threads.zv", bytes);
  const QImage expected = drawn(file, 1600, 1200, 1);
  std::string firstTrace;
  for (int threads : {1, 2, 4}) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    const std::string args = "--size 1600x1200 --threads " + std::to_string(threads);
    const ToolRun trace = runCommand(renderCommand(args + " --trace '" + file + "'"));
    ASSERT_EQ(trace.status, 0);
    if (firstTrace.empty()) firstTrace = trace.out;
    EXPECT_TRUE(trace.out == firstTrace) << "the trace differs";
    const std::string out = testing::TempDir() + "zorva-png-threads.png";
    ASSERT_EQ(runCommand(renderCommand(args + " -o '" + out + "' '" + file + "'")).status, 0);
    EXPECT_EQ(firstDifference(QImage(QString::fromStdString(out)), expected), "");
    std::remove(out.c_str());
  }
  std::remove(file.c_str());
}

TEST_F(RenderPng, AWriteThatFailsIsReported) {
  const std::string file = writeFile("fail.zv", kPictures[0].bytes);
  const std::string missing = testing::TempDir() + "zorva-png-no-such-folder/out.png";
  ToolRun r = runCommand(renderCommand("-o '" + missing + "' '" + file + "' 2>&1"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "zorva-render: cannot write " + missing + ": No such file or directory\n");
  // A device that takes no bytes, under a name ending in .png: the file
  // opens, every write fails.
  const std::string full = testing::TempDir() + "zorva-png-full-" + std::to_string(::getpid()) + ".png";
  if (::access("/dev/full", W_OK) == 0 && ::symlink("/dev/full", full.c_str()) == 0) {
    r = runCommand(renderCommand("-o '" + full + "' '" + file + "' 2>&1"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "zorva-render: cannot write " + full + ": No space left on device\n");
    ::unlink(full.c_str());
  }
  std::remove(file.c_str());
}
