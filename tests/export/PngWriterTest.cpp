// The PNG writer: what a reader decodes from its files is the image, with
// what Qt's own PNG writer would have said about it, and a failed write is
// reported as a failure.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QRandomGenerator>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "tests/support/GuiAppTest.h"
#include "tests/support/ImageCompare.h"
#include "export/PngWriter.h"

namespace {

QByteArray encode(const QImage& image) {
  QByteArray bytes;
  const bool ok = EncodePng(image, [&](const unsigned char* p, std::size_t n) {
    bytes.append(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
    return true;
  });
  return ok ? bytes : QByteArray();
}

QImage decode(const QByteArray& bytes) { return QImage::fromData(bytes, "PNG"); }

QImage decodeQtSave(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return decode(bytes);
}

// Random pixels: nothing for deflate to find, so the picture spans several
// IDAT chunks.
QImage noise(int w, int h, QImage::Format format) {
  QImage image(w, h, format == QImage::Format_ARGB32 ? format : QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<quint32*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) row[x] = random.generate();
  }
  return image.convertToFormat(format);
}

class PngWriter : public GuiAppTest {};

}  // namespace

TEST_F(PngWriter, OpaqueImagesAreWrittenAsRgb) {
  const QImage images[] = {noise(1, 1, QImage::Format_RGB32), noise(3, 700, QImage::Format_RGB32),
                           noise(700, 300, QImage::Format_RGB32), noise(64, 64, QImage::Format_RGB888),
                           noise(33, 17, QImage::Format_Indexed8)};
  for (const QImage& image : images) {
    SCOPED_TRACE(testing::Message() << image.width() << "x" << image.height() << " format "
                                    << image.format());
    const QByteArray bytes = encode(image);
    // IHDR: 8 bits a sample, colour type 2 (RGB).
    ASSERT_GT(bytes.size(), 33);
    EXPECT_EQ(bytes.mid(12, 4), "IHDR");
    EXPECT_EQ(bytes[24], 8);
    EXPECT_EQ(bytes[25], 2);
    const QImage decoded = decode(bytes);
    EXPECT_FALSE(decoded.hasAlphaChannel());
    EXPECT_EQ(firstDifference(decoded, image), "");
  }
}

TEST_F(PngWriter, AlphaIsKeptUnpremultiplied) {
  const QImage argb = noise(300, 200, QImage::Format_ARGB32);
  QImage premultiplied = argb.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (const QImage& image : {argb, premultiplied}) {
    const QByteArray bytes = encode(image);
    ASSERT_GT(bytes.size(), 33);
    EXPECT_EQ(bytes[25], 6) << "colour type RGBA";
    const QImage decoded = decode(bytes);
    EXPECT_TRUE(decoded.hasAlphaChannel());
    EXPECT_EQ(firstDifference(decoded, image), "");
    EXPECT_EQ(firstDifference(decoded, decodeQtSave(image)), "");
  }
}

TEST_F(PngWriter, SaysWhatQtSaysAboutTheImage) {
  QImage image = noise(40, 30, QImage::Format_RGB32);
  image.setDotsPerMeterX(7559);
  image.setDotsPerMeterY(3780);
  image.setOffset(QPoint(-12, 345));
  image.setText("Title", "A picture");
  image.setText("Comment", "two lines\nand a long value, longer than forty characters");
  image.setText("Author", QString::fromUtf8("Zo\xC3\xAB \xE2\x82\xAC"));  // Latin-1, then beyond it
  image.setText("Odd  key ", "tab\there");
  image.setColorSpace(QColorSpace::SRgb);
  const QImage ours = decode(encode(image));
  const QImage qts = decodeQtSave(image);
  ASSERT_FALSE(ours.isNull());
  ASSERT_FALSE(qts.isNull());
  EXPECT_EQ(ours.dotsPerMeterX(), 7559);
  EXPECT_EQ(ours.dotsPerMeterY(), 3780);
  EXPECT_EQ(ours.offset(), QPoint(-12, 345));
  EXPECT_EQ(ours.offset(), qts.offset());
  EXPECT_EQ(ours.textKeys(), qts.textKeys());
  for (const QString& key : qts.textKeys()) EXPECT_EQ(ours.text(key), qts.text(key)) << key.toStdString();
  EXPECT_EQ(ours.text("Author"), QString::fromUtf8("Zo\xC3\xAB \xE2\x82\xAC"));
  EXPECT_EQ(ours.colorSpace(), qts.colorSpace());
  EXPECT_EQ(ours.colorSpace(), QColorSpace(QColorSpace::SRgb));
  EXPECT_EQ(firstDifference(ours, qts), "");

  // Nothing of the kind when the image has none (every image has a
  // resolution).
  const QByteArray bytes = encode(noise(8, 8, QImage::Format_RGB32));
  for (const char* chunk : {"oFFs", "tEXt", "iTXt", "iCCP"}) EXPECT_FALSE(bytes.contains(chunk)) << chunk;
}

TEST_F(PngWriter, RefusedBytesStopTheEncoding) {
  EXPECT_FALSE(EncodePng(QImage(), [](const unsigned char*, std::size_t) { return true; }));
  const QImage image = noise(700, 300, QImage::Format_RGB32);
  for (int refuseAt : {0, 1, 2, 4}) {
    int calls = 0;
    const bool ok = EncodePng(image, [&](const unsigned char*, std::size_t) { return calls++ < refuseAt; });
    EXPECT_FALSE(ok) << refuseAt;
    EXPECT_EQ(calls, refuseAt + 1) << "no bytes offered after a refusal";
  }
}

TEST_F(PngWriter, FileErrorsAreFailuresWithTheSystemsReason) {
  const QImage image = noise(200, 100, QImage::Format_RGB32);
  const std::string missing = testing::TempDir() + "no-such-folder/out.png";
  std::string reason;
  EXPECT_FALSE(SavePng(image, missing, &reason));
  EXPECT_EQ(reason, "No such file or directory");
  struct stat st;
  EXPECT_NE(::stat(missing.c_str(), &st), 0);
  EXPECT_FALSE(SavePng(image, testing::TempDir(), &reason));  // a folder
  EXPECT_EQ(reason, "Is a directory");
  if (::access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(SavePng(image, "/dev/full", &reason));  // not a regular file: written in place
    EXPECT_EQ(reason, "No space left on device");
  }

  // A good write replaces what the file held.
  const std::string path = testing::TempDir() + "png-writer-test.png";
  std::ofstream(path, std::ios::binary) << std::string(1 << 20, 'x');
  ASSERT_TRUE(SavePng(image, path));
  EXPECT_EQ(firstDifference(QImage(QString::fromStdString(path)), image), "");
  std::remove(path.c_str());
}
