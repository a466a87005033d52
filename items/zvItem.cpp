#include "items/zvItem.h"

#include <algorithm>
#include <cstring>

// Seven 32-bit fields and the string's pointer, with no padding.
static_assert(sizeof(zvItem) == 7 * sizeof(std::int32_t) + sizeof(void*));

namespace {
int capCount(int n) { return n > zvItem::MaxArgs ? zvItem::MaxArgs : n; }
}  // namespace

zvItem::zvItem(int f, int argc, const int* argv, const char* s)
    : func(f), num_arg(capCount(argc)), args{0, 0, 0, 0, 0}, str(s ? s : "", s ? std::strlen(s) : 0) {
  std::copy_n(argv, std::max(num_arg, 0), args);
}

zvItem::zvItem(const zvItem& item)
    : func(item.func), num_arg(item.num_arg), args{0, 0, 0, 0, 0}, str(item.str) {
  std::copy_n(item.args, std::clamp(num_arg, 0, MaxArgs), args);
}

int zvItem::operator==(const zvItem& item) const {
  if (func != item.func) return 0;
  const int n = std::min(num_arg, MaxArgs);
  for (int i = 0; i < n; ++i)
    if (args[i] != item.args[i]) return 0;
  return str == item.str ? 1 : 0;
}
