#pragma once
// How the drawing fuzz targets read their input: raw values, values near
// the edges of the target, of the int range and of the tables, and items
// of any kind made of them.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "items/zvItem.h"

struct FuzzReader {
  const std::uint8_t* p;
  std::size_t n;
  bool empty() const { return n == 0; }
  std::uint8_t byte() {
    if (!n) return 0;
    --n;
    return *p++;
  }
  std::int32_t raw() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | byte();
    return static_cast<std::int32_t>(v);
  }
  // A selector byte, then for selector 0 four raw bytes: values near the
  // edges more often than uniform bytes would give them.
  std::int32_t value() {
    static const std::int32_t pick[] = {0,       1,       -1,          2,           3,          4,
                                        5,       90,      180,         255,         256,        -256,
                                        128,     16384,   -16384,      65536,       1 << 20,    -(1 << 20),
                                        INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1, 1000000000, -1000000000};
    const std::uint8_t s = byte();
    if (s == 0) return raw();
    if (s < 128) return static_cast<std::int32_t>(s) * 2 - 64;  // around the 256 target
    return pick[s % (sizeof pick / sizeof pick[0])];
  }
  // An item: a kind byte k (below 0xF0 a known kind or one beyond, else a
  // raw kind follows), five values, a length byte and that many text bytes.
  struct Item {
    std::uint8_t k;
    int kind;
    int args[5];
    std::string text;
    zvItem Make() const { return zvItem(kind, 5, args, text.c_str()); }
  };
  Item item() {
    Item i;
    i.k = byte();
    i.kind = i.k < 0xF0 ? i.k % 18 - 1 : raw();
    for (int& a : i.args) a = value();
    const std::size_t len = byte();
    for (std::size_t b = 0; b < len && !empty(); ++b) i.text += static_cast<char>(byte());
    return i;
  }
};
