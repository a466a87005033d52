// The README's picture of the coordinates is what zorva-render draws from
// its command file today: the command the README gives is run again and
// its picture compared with the committed one, pixel for pixel. And
// zorva-render stays below the window: it links no Qt Widgets and no X11.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/GuiAppTest.h"
#include "tests/support/ImageCompare.h"
#include "tests/support/TestFiles.h"
#include "tests/tools/ToolRun.h"

namespace {

class ReadmePicture : public GuiAppTest {};

}  // namespace

TEST_F(ReadmePicture, IsWhatZorvaRenderDrawsFromItsFile) {
  const std::string source = ZORVA_SOURCE_DIR;
  // The README's command line: "zorva-render ARGS -o doc/coordinates.png doc/coordinates.zv".
  const std::string readme = ReadBytes(source + "/README.md");
  const std::string command = "zorva-render --size 400x300 -o doc/coordinates.png doc/coordinates.zv";
  ASSERT_NE(readme.find("\n" + command + "\n"), std::string::npos) << "the README names the command";
  ASSERT_NE(readme.find("](doc/coordinates.png)"), std::string::npos) << "and shows the picture";
  const std::string out = testing::TempDir() + "coordinates-" + std::to_string(::getpid()) + ".png";
  const ToolRun r = runCommand("cd '" + source + "' && " +
                               renderCommand("--size 400x300 -o '" + out + "' doc/coordinates.zv") + " 2>&1");
  ASSERT_EQ(r.status, 0) << r.out;
  const QImage drawn(QString::fromStdString(out)), committed(QString::fromStdString(source + "/doc/coordinates.png"));
  ASSERT_FALSE(committed.isNull());
  EXPECT_EQ(firstDifference(drawn, committed), "")
      << "draw the picture again with the README's command and commit it";
  ::unlink(out.c_str());
}

TEST(RenderLayers, ZorvaRenderLinksNoWidgetsNorX11) {
  const ToolRun r = runCommand("readelf -d '" + std::string(ZORVA_BIN_DIR) + "/zorva-render' 2>&1");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("libQt6Gui.so"), std::string::npos) << r.out;
  for (const char* library : {"libQt6Widgets", "libX11", "libxcb"})
    EXPECT_EQ(r.out.find(library), std::string::npos) << library;
}
