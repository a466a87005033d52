// zorva-render's SVG and PDF pictures: each drawing once, what a whole
// erase hides left out, what still shows kept; Qt's SVG renderer shows the
// PNG's picture save at anti-aliased edges; and a million lines fit in a
// few hundred megabytes.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "tests/support/GuiAppTest.h"
#include "tests/support/PictureMatch.h"
#include "tests/support/TestFiles.h"
#include "tests/tools/ToolRun.h"

namespace {

class RenderVector : public GuiAppTest {
protected:
  void SetUp() override {
    GuiAppTest::SetUp();
    dir = MakeTempFolder("zorva-render-vec");
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override { RemoveTree(dir); }

  // The file zorva-render writes for `bytes` as `out` (its name's ending
  // chooses the format), at 320 x 200.
  std::string picture(const std::string& bytes, const std::string& out) {
    const std::string in = dir + "/in.zv";
    std::ofstream(in, std::ios::binary) << bytes;
    const ToolRun r = runCommand(renderCommand("--size 320x200 -o '" + dir + "/" + out + "' '" + in + "'"));
    EXPECT_EQ(r.status, 0) << out;
    return ReadBytes(dir + "/" + out);
  }

  static size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }

  std::string dir;
};

}  // namespace

TEST_F(RenderVector, EachDrawingOnceWhatStillShowsKept) {
  struct Case {
    const char* name;
    const char* bytes;
    size_t lines;
  } cases[] = {
      {"two lines, drawn live and replayed", "0 0 2 4 10 20 110 20 2 4 10 40 110 40 ", 2},
      {"the old picture under a start that does not erase", "2 4 10 20 110 20 0 0 2 4 10 40 110 40 ", 2},
      {"a clear erases what came before", "0 0 2 4 10 20 110 20 12 0 2 4 10 40 110 40 ", 1},
      {"the same line twice is one drawing", "0 0 2 4 10 20 110 20 2 4 10 20 110 20 ", 1},
      {"a polyline", "0 0 14 2 10 10 15 2 50 10 15 2 50 50 15 2 10 50 ", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string svg = picture(c.bytes, "once.svg");
    EXPECT_EQ(count(svg, "<path "), c.lines) << svg;
    EXPECT_EQ(count(svg, "<rect "), 1u) << "the one background erase that still shows";
  }
  // A PDF of the same drawings is much the same size however often they
  // were drawn.
  std::string many = "0 0 2 4 10 20 110 20 ";
  for (int i = 0; i < 500; ++i) many += "2 4 10 20 110 20 ";
  EXPECT_LT(picture(many, "many.pdf").size(), picture("0 0 2 4 10 20 110 20 ", "one.pdf").size() + 64);
}

TEST_F(RenderVector, QtsSvgRendererShowsThePngsPicture) {
  // Qt's SVG renderer dashes a curve along lengths about a tenth longer
  // than the curve's, where the PNG's dashes measure the curve itself: the
  // dash ends of a dashed circle and arc differ a little more.
  struct Case {
    const char* name;
    const char* bytes;
    double share = 0.01;  // of the lit pixels that may differ
  } cases[] = {
      {"lines in colours, widths and line types",
       "0 0 4 3 255 0 0 2 4 10 20 300 20 6 1 3 4 3 0 255 0 2 4 10 40 300 180 6 1 8 4 3 30 60 250 "
       "2 4 300 10 20 190 6 1 1 7 1 2 2 4 10 100 300 100 7 1 3 2 4 10 110 300 110 7 1 4 2 4 10 120 300 120 "},
      {"texts in heights, colours, alignments and both background modes",
       "0 0 3 4 10 190 5 Hello 5 3 255 255 0 8 1 24 3 4 10 150 6 Bigger 10 1 2 5 3 0 200 255 "
       "3 4 160 100 8 centred! 10 1 3 8 1 9 3 4 310 60 5 right 9 2 15 Liberation Serif 3 4 10 40 5 serif "
       "10 1 1 1 0 2 0 0 3 4 200 30 6 opaque "},
      {"circles, arcs and polylines, solid and dashed",
       "0 0 11 3 100 100 50 4 3 255 128 0 6 1 5 13 5 200 100 60 30 200 14 2 10 10 15 2 80 150 "
       "15 2 150 20 15 2 290 180 6 1 0 11 3 250 150 3 7 1 2 11 3 60 60 40 13 5 250 60 30 90 0 "
       "14 2 200 20 15 2 230 25 15 2 260 20 15 2 290 25 ",
       0.02},
      {"a clear, and an old picture under a start",
       "0 0 2 4 0 0 320 200 12 0 2 4 0 200 320 0 11 3 40 40 30 "
       "0 0 4 3 0 255 255 11 3 160 100 60 3 4 100 150 4 kept "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    picture(c.bytes, "match.svg");
    picture(c.bytes, "match.png");
    const QImage png(QString::fromStdString(dir + "/match.png"));
    QSvgRenderer renderer(QString::fromStdString(dir + "/match.svg"));
    ASSERT_TRUE(renderer.isValid());
    QImage shown(png.size(), QImage::Format_RGB32);
    shown.fill(Qt::white);  // the picture's own background must cover it
    QPainter painter(&shown);
    renderer.render(&painter);
    painter.end();
    const PictureMatch m = MatchPictures(png, shown);
    EXPECT_GT(m.lit, 500);
    EXPECT_LE(m.Share(), c.share) << m.differ << " of " << m.lit << " lit pixels differ";
  }
}

// The peak resident memory of zorva-render writing `out`, in megabytes.
long peakMegabytes(const std::string& in, const std::string& out) {
  const std::string program = std::string(ZORVA_BIN_DIR) + "/zorva-render";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl(program.c_str(), program.c_str(), "-o", out.c_str(), in.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss / 1024;
}

TEST_F(RenderVector, AMillionLinesFitInAFewHundredMegabytes) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory would be measured";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizers' own memory would be measured";
#endif
#endif
  // 1M lines of up to 20 pixels each way, anywhere on 800 x 600.
  const std::string in = dir + "/million.zv";
  {
    std::ofstream file(in, std::ios::binary);
    std::mt19937 random(1);
    std::uniform_int_distribution<int> x(20, 780), y(20, 580), d(-20, 20);
    file << "0 0 \n";
    for (int i = 0; i < 1000000; ++i) {
      const int x0 = x(random), y0 = y(random);
      file << "2 4 " << x0 << ' ' << y0 << ' ' << x0 + d(random) << ' ' << y0 + d(random) << " \n";
    }
  }
  for (const char* out : {"million.svg", "million.pdf"}) {
    const long megabytes = peakMegabytes(in, dir + "/" + out);
    EXPECT_GT(megabytes, 0) << out;
    EXPECT_LT(megabytes, 300) << out;
    std::printf("%s: %ld MB at the peak\n", out, megabytes);
    std::remove((dir + "/" + out).c_str());
  }
}
