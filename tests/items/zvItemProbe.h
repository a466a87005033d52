#pragma once
// Read access to an item's private fields, for tests only.

#include <array>
#include <string>

#include "items/zvItem.h"

struct zvItemProbe {
  static int func(const zvItem& i) { return i.func; }
  static int count(const zvItem& i) { return i.num_arg; }
  static std::array<int, 5> args(const zvItem& i) {
    return {i.args[0], i.args[1], i.args[2], i.args[3], i.args[4]};
  }
  static std::string str(const zvItem& i) { return std::string(i.str.view()); }
  static bool sharesString(const zvItem& a, const zvItem& b) { return a.str.SharesWith(b.str); }
  static void setArgs(zvItem& i, std::array<int, 5> a) {
    for (int k = 0; k < 5; ++k) i.args[k] = a[k];
  }
};
