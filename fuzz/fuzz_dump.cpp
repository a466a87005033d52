// Random bytes as command text, every item parsed from them dumped: each box
// text must fit the dump's 256-byte buffer, whatever the arguments and
// however long the string.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/report/MessageBox.h"
#include "items/zvItem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    SetMessagePresenter([](const std::string& text, const std::string& caption, unsigned style) {
      if (text.size() > 255 || caption != "DEBUG" || style != 0) std::abort();
      return IDOK;
    });
    return true;
  }();
  (void)quiet;

  std::vector<char> text(data, data + size);
  text.push_back('\0');
  zvItem work;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const int used = work.Set(text.data() + pos);
    if (used <= 0) break;
    work.debugDisp();
    pos += static_cast<std::size_t>(used);
  }
  return 0;
}
