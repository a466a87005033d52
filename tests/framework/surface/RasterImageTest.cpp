// Images laid on huge-page memory behave as any QImage: the asked size and
// format, rows packed, writable, drawn on by the surface, and copies that
// detach instead of writing into the shared pixels.
#include <gtest/gtest.h>

#include <cstdint>

#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TPen.h"
#include "base/HugePages.h"
#include "framework/surface/RasterImage.h"
#include "framework/surface/RasterSurface.h"
#include "tests/framework/surface/SurfaceTestApp.h"

TEST(RasterImage, LargeAndSmallImagesAreOrdinaryWritableImages) {
  EnsureGuiApp();
  for (const QSize size : {QSize(1920, 1080), QSize(40, 30), QSize(1000, 525)}) {
    QImage image = NewRasterImage(size.width(), size.height(), QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull()) << size.width() << "x" << size.height();
    EXPECT_EQ(image.size(), size);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.bytesPerLine(), size.width() * 4);
    image.fill(Qt::black);
    RasterSurface surface(&image);
    {
      TClientDC dc(surface);
      dc.SelectObject(TPen(TColor(0, 255, 0), 1, PS_SOLID));
      dc.MoveToEx(0, size.height() - 1);
      dc.LineTo(size.width(), size.height() - 1);
    }
    surface.End();
    EXPECT_EQ(Rgb(image, size.width() - 1, size.height() - 1), 0x00FF00u);
    EXPECT_EQ(Rgb(image, 0, 0), 0u);

    QImage copy = image;
    copy.fill(Qt::white);
    EXPECT_EQ(Rgb(image, 0, 0), 0u) << "a copy written to detaches from the pixels";
    EXPECT_EQ(Rgb(copy, 0, 0), 0xFFFFFFu);
  }
}

TEST(RasterImage, EmptySizesGiveANullImage) {
  EXPECT_TRUE(NewRasterImage(0, 10, QImage::Format_RGB32).isNull());
  EXPECT_TRUE(NewRasterImage(10, -1, QImage::Format_RGB32).isNull());
}

TEST(HugePages, MappingsStartOnABoundaryZeroedAndWritable) {
  for (const std::size_t bytes :
       {std::size_t{1}, kHugePageBytes, kHugePageBytes + 1, 5 * kHugePageBytes - 3}) {
    auto* p = static_cast<unsigned char*>(MapHugePages(bytes));
    ASSERT_NE(p, nullptr) << bytes;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % kHugePageBytes, 0u) << bytes;
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[bytes - 1], 0);
    p[0] = 1;
    p[bytes - 1] = 2;
    EXPECT_EQ(p[0], bytes == 1 ? 2 : 1);
    EXPECT_EQ(p[bytes - 1], 2);
    UnmapHugePages(p, bytes);
  }
  EXPECT_EQ(MapHugePages(0), nullptr);
  EXPECT_EQ(MapHugePages(SIZE_MAX), nullptr);
}
