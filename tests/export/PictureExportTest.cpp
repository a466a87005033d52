// A display's picture written from its display list, as the window's
// "Save picture" writes it: the erased client area and the list replayed,
// in each format, and nothing written for an output that is an input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>

#include <fstream>
#include <sstream>
#include <string>

#include "export/PictureExport.h"
#include "items/zvItem.h"
#include "stream/DisplayState.h"
#include "tests/support/GuiAppTest.h"
#include "tests/support/TestFiles.h"

namespace {

class PictureExportTest : public GuiAppTest {
protected:
  void SetUp() override {
    GuiAppTest::SetUp();
    // A red line from (10, 20) to (110, 20), 20 pixels above the bottom.
    const int red[] = {255, 0, 0}, line[] = {10, 20, 110, 20};
    state.displayList.Add(zvItem(4, 3, red, nullptr));
    state.displayList.Add(zvItem(2, 4, line, nullptr));
  }
  std::string path(const std::string& name) const {
    return testing::TempDir() + "picture-export-" + std::to_string(::getpid()) + "-" + name;
  }
  static std::string read(const std::string& p) { return ReadBytes(p); }
  DisplayState state;
};

}  // namespace

TEST_F(PictureExportTest, TheDisplayListInEachFormat) {
  PictureRequest request;
  request.width = 200;
  request.height = 100;
  const std::string png = path("list.png"), svg = path("list.svg"), pdf = path("list.pdf");
  ASSERT_EQ(ExportDisplayList(request, png, state).status, ExportResult::Written);
  const QImage image(QString::fromStdString(png));
  ASSERT_EQ(image.size(), QSize(200, 100));
  EXPECT_EQ(image.pixel(50, 80), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(50, 70), qRgb(0, 0, 0));

  request.format = PictureFormat::Svg;
  ASSERT_EQ(ExportDisplayList(request, svg, state).status, ExportResult::Written);
  const std::string doc = read(svg);
  EXPECT_NE(doc.find("stroke=\"#ff0000\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("<path d=\"M10.5 80.5L110.5 80.5\"/>"), std::string::npos) << doc;

  request.format = PictureFormat::Pdf;
  ASSERT_EQ(ExportDisplayList(request, pdf, state).status, ExportResult::Written);
  EXPECT_EQ(read(pdf).rfind("%PDF-", 0), 0u);
  for (const std::string& p : {png, svg, pdf}) ::unlink(p.c_str());
}

TEST_F(PictureExportTest, FormatsByTheNamesEnding) {
  struct Case {
    const char* name;
    bool known;
    PictureFormat format;
  } cases[] = {{"a.png", true, PictureFormat::Png}, {"a.SVG", true, PictureFormat::Svg},
               {"dir.x/a.Pdf", true, PictureFormat::Pdf}, {"a.gif", false, PictureFormat::Png},
               {"png", false, PictureFormat::Png}, {"a.png.txt", false, PictureFormat::Png}};
  for (const Case& c : cases) {
    PictureFormat f = PictureFormat::Png;
    EXPECT_EQ(PictureFormatOf(c.name, f), c.known) << c.name;
    if (c.known) {
      EXPECT_EQ(f, c.format) << c.name;
    }
  }
}

TEST_F(PictureExportTest, NothingIsDrawnOrWrittenForARefusedOutput) {
  const std::string input = path("input.png");
  std::ofstream(input, std::ios::binary) << "the input";
  FileId id;
  ASSERT_TRUE(FileIdOfPath(input, id));
  bool drawn = false;
  const ExportResult r = ExportPicture(PictureRequest(), input, [&](Surface&) { return drawn = true; }, {id});
  EXPECT_EQ(r.status, ExportResult::Failed);
  EXPECT_EQ(r.reason, "it is the input file");
  EXPECT_FALSE(drawn);
  EXPECT_EQ(read(input), "the input");
  // A drawing that has nothing to draw writes nothing either.
  const std::string out = path("nothing.svg");
  PictureRequest svg;
  svg.format = PictureFormat::Svg;
  EXPECT_EQ(ExportPicture(svg, out, [](Surface&) { return false; }).status, ExportResult::NotDrawn);
  EXPECT_NE(::access(out.c_str(), F_OK), 0);
  ::unlink(input.c_str());
}
