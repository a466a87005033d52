#include "items/zvItem.h"

#include <algorithm>

namespace {
int capCount(int n) { return n > zvItem::MaxArgs ? zvItem::MaxArgs : n; }
}  // namespace

zvItem::zvItem() : func(0), num_arg(0), args{0, 0, 0, 0, 0} {}

zvItem::zvItem(int f, int argc, const int* argv, const char* s)
    : func(f), num_arg(capCount(argc)), args{0, 0, 0, 0, 0}, str(s ? s : "") {
  std::copy_n(argv, std::max(num_arg, 0), args);
}

zvItem::zvItem(const zvItem& item)
    : func(item.func), num_arg(item.num_arg), args{0, 0, 0, 0, 0}, str(item.str) {
  std::copy_n(item.args, std::clamp(num_arg, 0, MaxArgs), args);
}

zvItem& zvItem::operator=(const zvItem& item) {
  func = item.func;
  num_arg = item.num_arg;
  std::copy_n(item.args, MaxArgs, args);
  str = item.str;
  return *this;
}

zvItem::~zvItem() = default;

int zvItem::operator==(const zvItem& item) const {
  if (func != item.func) return 0;
  const int n = std::min(num_arg, MaxArgs);
  for (int i = 0; i < n; ++i)
    if (args[i] != item.args[i]) return 0;
  return str == item.str ? 1 : 0;
}
