// Menu descriptions of any bytes: parsed or rejected as an invalid menu,
// never anything else, and what is accepted keeps the format's limits.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/resources/TMenu.h"

namespace {
void check(const std::vector<TMenuItem>& items, int depth) {
  if (depth > TMenu::MaxDepth) std::abort();
  for (const TMenuItem& item : items) {
    if (item.kind == TMenuItem::Command && item.id > 65535) std::abort();
    if (item.kind != TMenuItem::Popup && !item.items.empty()) std::abort();
    check(item.items, depth + 1);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    check(TMenu::Parse(std::string_view(reinterpret_cast<const char*>(data), size)), 0);
  } catch (const TXMenu&) {
  }
  return 0;
}
