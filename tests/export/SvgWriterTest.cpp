// The streaming SVG writer: what a painter draws comes out element by
// element while it paints, in well-formed XML that Qt's SVG renderer reads,
// with one-pixel strokes moved onto pixel centres and fills left in place.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <string>

#include "export/SvgWriter.h"
#include "tests/support/GuiAppTest.h"

namespace {

class SvgWriterTest : public GuiAppTest {
protected:
  // The document a painting function makes on a 200 x 100 picture.
  template <class Paint>
  std::string svg(Paint paint, int* chunksBeforeEnd = nullptr) {
    std::string doc;
    bool ended = false;
    int early = 0;
    SvgWriter writer(200, 100, [&](const char* b, std::size_t n) {
      doc.append(b, n);
      early += !ended;
      return true;
    }, "a <title> & more");
    {
      QPainter p(&writer);
      paint(p);
      if (chunksBeforeEnd) *chunksBeforeEnd = early;
      p.end();
      ended = true;
    }
    EXPECT_FALSE(writer.Failed());
    return doc;
  }

  static bool wellFormed(const std::string& doc) {
    QXmlStreamReader xml(QByteArray::fromStdString(doc));
    while (!xml.atEnd()) xml.readNext();
    return !xml.hasError();
  }

  static size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

}  // namespace

TEST_F(SvgWriterTest, OddStrokesMoveOntoPixelCentresFillsStay) {
  const std::string doc = svg([](QPainter& p) {
    p.setPen(QPen(Qt::white, 0));  // cosmetic: one pixel
    p.drawLine(QLineF(10, 20, 110, 20));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QLineF(10, 40, 110, 40));
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(QLineF(10, 60, 110, 60));
    p.fillRect(QRectF(5, 5, 10, 10), Qt::red);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(QLineF(10, 80, 110, 80));
  });
  EXPECT_NE(doc.find("d=\"M10.5 20.5L110.5 20.5\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("d=\"M10 40L110 40\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("d=\"M10.5 60.5L110.5 60.5\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("<rect x=\"5\" y=\"5\" width=\"10\" height=\"10\"/>"), std::string::npos) << doc;
  EXPECT_NE(doc.find("d=\"M10 80L110 80\""), std::string::npos) << "anti-aliased: as given\n" << doc;
}

TEST_F(SvgWriterTest, ShapesOfOneLookShareAGroup) {
  const std::string doc = svg([](QPainter& p) {
    QPen dashed(Qt::green, 0);
    dashed.setDashPattern({18, 6});
    p.setPen(dashed);
    for (int i = 0; i < 3; ++i) p.drawLine(QLineF(0, i, 50, i));
    p.setPen(QPen(Qt::blue, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawEllipse(QRectF(10, 10, 40, 20));
  });
  EXPECT_EQ(count(doc, "<g "), 2u) << doc;
  EXPECT_EQ(count(doc, "</g>"), 2u) << doc;
  EXPECT_NE(doc.find("stroke=\"#00ff00\" stroke-width=\"1\" stroke-linecap=\"square\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("stroke-dasharray=\"18,6\""), std::string::npos) << doc;
  EXPECT_NE(doc.find("stroke=\"#0000ff\" stroke-width=\"4\" stroke-linecap=\"round\" stroke-linejoin=\"round\""),
            std::string::npos)
      << doc;
  EXPECT_NE(doc.find("<ellipse cx=\"30\" cy=\"20\" rx=\"20\" ry=\"10\"/>"), std::string::npos) << doc;
  EXPECT_TRUE(wellFormed(doc));
}

TEST_F(SvgWriterTest, TextIsEscapedOrOutlined) {
  const std::string doc = svg([](QPainter& p) {
    QFont f("DejaVu Sans");
    f.setPixelSize(14);
    f.setUnderline(true);
    p.setFont(f);
    p.setPen(QColor(255, 255, 0));
    p.drawText(QPointF(10, 30), QString::fromUtf8("a<b & \"c\" \xC3\xA9"));
    p.drawText(QPointF(10, 60), QString(QChar(1)) + "bell");  // a character XML cannot hold
  });
  EXPECT_TRUE(wellFormed(doc)) << doc;
  EXPECT_NE(doc.find("<title>a &lt;title&gt; &amp; more</title>"), std::string::npos);
  EXPECT_NE(doc.find(">a&lt;b &amp; &quot;c&quot; \xC3\xA9</text>"), std::string::npos) << doc;
  EXPECT_NE(doc.find("font-family=\"DejaVu Sans\" font-size=\"14\""), std::string::npos) << doc;
  EXPECT_EQ(count(doc, "<text "), 1u) << "the second text as outlines";
  EXPECT_NE(doc.find("<g fill=\"#ffff00\" stroke=\"none\">\n<path d=\"M"), std::string::npos) << doc;
  EXPECT_EQ(count(doc, "stroke=\"#ffff00\""), 2u) << "each underline, drawn by the painter as a line\n" << doc;
}

TEST_F(SvgWriterTest, ElementsGoOutWhilePainting) {
  int early = 0;
  const std::string doc = svg(
      [](QPainter& p) {
        p.setPen(QPen(Qt::white, 0));
        for (int i = 0; i < 20000; ++i) p.drawLine(QLineF(i % 200, 0, i % 200, 99));
      },
      &early);
  EXPECT_GT(early, 5) << "chunks before the painter ended";
  EXPECT_EQ(count(doc, "<path "), 20000u);
  EXPECT_TRUE(wellFormed(doc));
}

TEST_F(SvgWriterTest, ARefusingSinkFailsTheDocument) {
  int calls = 0;
  SvgWriter writer(200, 100, [&](const char*, std::size_t) { return ++calls < 2; });
  QPainter p(&writer);
  p.setPen(QPen(Qt::white, 0));
  for (int i = 0; i < 20000; ++i) p.drawLine(QLineF(0, 0, 10, i % 100));
  p.end();
  EXPECT_TRUE(writer.Failed());
  EXPECT_EQ(calls, 2) << "nothing offered after the refusal";
}

TEST_F(SvgWriterTest, QtsRendererShowsWhatWasPainted) {
  const std::string doc = svg([](QPainter& p) {
    p.fillRect(QRectF(0, 0, 200, 100), Qt::black);
    p.setPen(QPen(Qt::red, 0));
    p.drawLine(QLineF(10, 20, 110, 20));
  });
  QSvgRenderer renderer(QByteArray::fromStdString(doc));
  ASSERT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.defaultSize(), QSize(200, 100));
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  renderer.render(&p);
  p.end();
  // The one-pixel line fills row 20 in full, as the raster painter does.
  for (int x = 10; x < 110; ++x) {
    EXPECT_EQ(image.pixel(x, 20), qRgb(255, 0, 0)) << x;
    EXPECT_EQ(image.pixel(x, 19), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(image.pixel(x, 21), qRgb(0, 0, 0)) << x;
  }
}
