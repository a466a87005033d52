// The one conversion between the platform's colour values and Qt's.
#include <gtest/gtest.h>

#include <cstdint>

#include "framework/surface/ColorValue.h"

namespace {

TEST(SurfaceRasterColour, ColourValuesAndQtColoursConvertBothWays) {
  struct Case {
    std::uint32_t value;
    QRgb rgb;
  } cases[] = {
      {0x000000FF, 0xFFFF0000},  // red in the low byte
      {0x0000FF00, 0xFF00FF00}, {0x00FF0000, 0xFF0000FF},
      {0x00123456, 0xFF563412}, {0xFE0080FF, 0xFFFF8000},  // the top byte is no component
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToQRgb(c.value), c.rgb) << std::hex << c.value;
    EXPECT_EQ(ToQColor(c.value).rgb(), c.rgb) << std::hex << c.value;
    EXPECT_EQ(FromQRgb(c.rgb), c.value & 0x00FFFFFFu) << std::hex << c.value;
  }
}

}  // namespace
