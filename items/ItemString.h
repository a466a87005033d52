#pragma once
// The string of a display item: immutable bytes kept out of line and shared
// by the copies of an item, so that copying an item never copies its text.
// The empty string takes no memory of its own. The object itself is one
// pointer stored on a 4-byte boundary, so that a record of 32-bit fields
// followed by it has no padding.
//
// Copies share the bytes but nothing observable: the bytes never change
// while shared, and assigning new bytes gives the string bytes of its own.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class ItemString {
public:
  ItemString() noexcept { store(nullptr); }
  // A copy of the n bytes at s (none when n is 0).
  ItemString(const char* s, std::size_t n) { store(make(s, n)); }
  // Shares the bytes of `other`. Throws std::bad_alloc only in the rare case
  // that they are shared so often that a copy of them must be made.
  ItemString(const ItemString& other) { store(share(other.load())); }
  ItemString& operator=(const ItemString& other) {
    if (load() != other.load()) replace(other.load());
    return *this;
  }
  ~ItemString() {
    if (Rep* r = load()) release(r);
  }

  // Replaces the bytes with a copy of the n bytes at s. Throws
  // std::bad_alloc and keeps the old bytes when memory runs out.
  void assign(const char* s, std::size_t n);

  std::size_t size() const noexcept {
    const Rep* r = load();
    return r ? r->size : 0;
  }
  bool empty() const noexcept { return load() == nullptr; }
  // The bytes, followed by a NUL; "" when empty.
  const char* c_str() const noexcept {
    const Rep* r = load();
    return r ? r->bytes() : "";
  }
  std::string_view view() const noexcept { return {c_str(), size()}; }

  friend bool operator==(const ItemString& a, const ItemString& b) noexcept {
    return a.load() == b.load() || a.view() == b.view();
  }

  // Whether the two share one copy of their bytes (for tests and
  // measurements).
  bool SharesWith(const ItemString& other) const noexcept {
    return load() != nullptr && load() == other.load();
  }

private:
  // Header and bytes in one allocation: refs, size, then size bytes and a NUL.
  struct Rep {
    std::uint32_t refs;
    std::uint32_t size;
    char* bytes() noexcept { return reinterpret_cast<char*>(this + 1); }
    const char* bytes() const noexcept { return reinterpret_cast<const char*>(this + 1); }
  };

  static Rep* make(const char* s, std::size_t n);
  // Another reference to r; a fresh copy when its count is at its limit.
  static Rep* share(Rep* r);
  static void release(Rep* r) noexcept;
  // Shares r in place of the present bytes.
  void replace(Rep* r);

  Rep* load() const noexcept {
    Rep* r;
    std::memcpy(&r, rep, sizeof r);
    return r;
  }
  void store(Rep* r) noexcept { std::memcpy(rep, &r, sizeof r); }

  std::uint32_t rep[sizeof(Rep*) / sizeof(std::uint32_t)];
};
