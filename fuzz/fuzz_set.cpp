// Random bytes as command text: Set must report 0 or a count within the
// text, and never read or write outside it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "items/zvItem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  const std::size_t length = std::strlen(text.data());

  // Parse as the command stream does: one working item, item after item.
  zvItem work;
  std::size_t pos = 0;
  while (pos <= length) {
    const int used = work.Set(text.data() + pos);
    if (used == 0) break;
    if (used < 0 || static_cast<std::size_t>(used) > length - pos) std::abort();
    zvItem copy(work);
    zvItem stored;
    stored = work;
    if (!(stored == work)) std::abort();
    pos += static_cast<std::size_t>(used);
  }
  int v = 0;
  const int used = zvItem::readArg(text.data(), &v);
  if (used < 0 || static_cast<std::size_t>(used) > length) std::abort();
  return 0;
}
