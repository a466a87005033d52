#pragma once
// An RGB colour as the platform's 32-bit colour value: red in bits 0-7,
// green in 8-15, blue in 16-23. The top byte is zero for colours made from
// components; a raw value keeps it (windows use 0xFF000000 and 0xFE000000
// as reserved background values).

#include <cstdint>

class TColor {
public:
  constexpr TColor() = default;
  constexpr TColor(std::uint32_t value) : value(value) {}
  // Each component keeps its low 8 bits: (256, 0, 0) is black.
  constexpr TColor(int r, int g, int b)
      : value((static_cast<std::uint32_t>(r) & 0xFFu) | ((static_cast<std::uint32_t>(g) & 0xFFu) << 8) |
              ((static_cast<std::uint32_t>(b) & 0xFFu) << 16)) {}

  constexpr std::uint32_t GetValue() const { return value; }
  constexpr std::uint8_t Red() const { return static_cast<std::uint8_t>(value); }
  constexpr std::uint8_t Green() const { return static_cast<std::uint8_t>(value >> 8); }
  constexpr std::uint8_t Blue() const { return static_cast<std::uint8_t>(value >> 16); }

  constexpr bool operator==(const TColor&) const = default;

private:
  std::uint32_t value = 0;
};
