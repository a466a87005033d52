#include "items/ItemString.h"

#include <cstdlib>
#include <limits>
#include <new>

ItemString::Rep* ItemString::make(const char* s, std::size_t n) {
  if (n == 0) return nullptr;
  if (n > std::numeric_limits<std::uint32_t>::max() - sizeof(Rep) - 1) throw std::bad_alloc();
  void* memory = std::malloc(sizeof(Rep) + n + 1);
  if (!memory) throw std::bad_alloc();
  Rep* r = new (memory) Rep{1, static_cast<std::uint32_t>(n)};
  std::memcpy(r->bytes(), s, n);
  r->bytes()[n] = '\0';
  return r;
}

ItemString::Rep* ItemString::share(Rep* r) {
  if (!r) return nullptr;
  if (r->refs == std::numeric_limits<std::uint32_t>::max()) return make(r->bytes(), r->size);
  ++r->refs;
  return r;
}

void ItemString::release(Rep* r) noexcept {
  if (r && --r->refs == 0) std::free(r);
}

void ItemString::replace(Rep* r) {
  Rep* const mine = load();
  store(share(r));
  release(mine);
}

void ItemString::assign(const char* s, std::size_t n) {
  Rep* const mine = load();
  // Bytes of its own that fit: overwritten in place, as no one else sees them.
  if (mine && mine->refs == 1 && mine->size == n) {
    std::memmove(mine->bytes(), s, n);
    return;
  }
  Rep* const fresh = make(s, n);
  store(fresh);
  release(mine);
}
