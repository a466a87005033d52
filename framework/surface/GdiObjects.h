#pragma once
// The process-wide registry of platform graphics objects: the pens and fonts
// made without a device context, each with what it was made from and its
// use count; the stock objects; and the initial pen and font every new
// context starts with. A handle names one object; 0 names none. Handles are
// never reused while the process runs.
//
// Use counts: a made object is not counted until AddUse gives it a count of
// 1. While it is counted, Use adds one and DropUse takes one away; the
// DropUse that brings the count to 0 deletes the object. Counts are 8 bits
// and saturate: an object whose count reaches 255 is never deleted (a leak
// rather than a deletion while still in use). Stock and initial objects are
// never counted or deleted. (TGdiObject's RefAdd, RefInc and RefDec are
// these operations.)
//
// Surfaces that want to see object creation and deletion in call order (the
// recording surface) register as observers. The platform may refuse to make
// or to delete an object.

#include <cstdint>
#include <string>
#include <vector>

using GdiHandle = std::uint64_t;

// Pen styles.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3 };

// Stock object indices.
enum : int { WHITE_PEN = 6, BLACK_PEN = 7 };

// Font creation values the program uses.
enum : int {
  FW_NORMAL = 400,
  DEFAULT_CHARSET = 1,
  OUT_DEFAULT_PRECIS = 0,
  CLIP_DEFAULT_PRECIS = 0,
  DEFAULT_QUALITY = 0,
  DEFAULT_PITCH = 0,
  FF_DONTCARE = 0
};

enum class GdiKind : std::uint8_t { Pen, Font };

// What a pen was made from. Width and style are kept exactly as given; the
// surfaces decide what odd values mean.
struct PenDesc {
  int style = PS_SOLID;
  int width = 1;
  std::uint32_t color = 0;
  bool operator==(const PenDesc&) const = default;
};

// What a font was made from, in CreateFontA's argument order.
struct FontDesc {
  int height = 0, width = 0, escapement = 0, orientation = 0, weight = FW_NORMAL;
  unsigned italic = 0, underline = 0, strikeOut = 0, charSet = DEFAULT_CHARSET;
  unsigned outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
  bool hasFace = false;  // false: no face given, the surface chooses one
  std::string face;
  bool operator==(const FontDesc&) const = default;
};

// Sees every successful creation and every deletion, in call order.
class GdiObserver {
public:
  virtual ~GdiObserver() = default;
  virtual void CreatePen(const PenDesc& pen, GdiHandle made) = 0;
  virtual void CreateFontA(const FontDesc& font, GdiHandle made) = 0;
  virtual void GetStockObject(int index, GdiHandle stock) = 0;
  virtual void DeleteObject(GdiHandle handle, bool deleted) = 0;
};

class GdiObjects {
public:
  // Fixed handles of the stock objects and of the initial objects of every
  // context (a black one-pixel solid pen and the default font).
  static constexpr GdiHandle WhitePen = 1, BlackPen = 2, DefaultPen = 3, DefaultFont = 4;

  // A new pen or font, not yet counted; 0 when the platform refuses.
  static GdiHandle CreatePen(int style, int width, std::uint32_t color);
  static GdiHandle CreateFontA(const FontDesc& font);
  // The stock object of that index, 0 for an unknown index.
  static GdiHandle GetStockObject(int index);
  // Frees a made pen or font, counted or not. False for a handle that names
  // no made object (stock and initial objects included) or when the
  // platform refuses; the object then stays.
  static bool DeleteObject(GdiHandle handle);

  // The use counts (see above); each ignores a handle that names no made
  // object. DropUse is false when it brought the count to 0 and the platform
  // refused the deletion: the object then stays, no longer counted.
  static void AddUse(GdiHandle handle);
  static void Use(GdiHandle handle);
  static bool DropUse(GdiHandle handle);

  // What a handle names; null when it names no pen (or font).
  static const PenDesc* Pen(GdiHandle handle);
  static const FontDesc* Font(GdiHandle handle);
  static bool IsPen(GdiHandle handle) { return Pen(handle) != nullptr; }
  static bool IsFont(GdiHandle handle) { return Font(handle) != nullptr; }
  // The name of a stock or initial handle ("WHITE_PEN", "DEFAULT_FONT"),
  // or null.
  static const char* StockName(GdiHandle handle);

  static void AddObserver(GdiObserver* observer);
  static void RemoveObserver(GdiObserver* observer);

private:
  friend struct GdiProbe;  // the tests' view: live objects, counts, refusals

  // A made object. Its place in the registry and the generation of that
  // place make its handle, so a stale handle never names a later object
  // made in the same place.
  struct Entry {
    std::uint32_t generation = 0;
    bool live = false;
    GdiKind kind = GdiKind::Pen;
    std::uint8_t count = 0;  // 0: not counted
    PenDesc pen;
    FontDesc font;
  };
  struct Registry {
    std::vector<Entry> entries;
    std::vector<std::uint32_t> freeEntries;
    std::vector<GdiObserver*> observers;
    // The next creations and deletions the platform refuses.
    int refuseCreations = 0;
    int refuseDeletions = 0;
  };

  // Made before any other static object (constinit) and so gone after all
  // of them: a static object may still release its pens and fonts.
  static Registry registry;

  // Made objects' handles start above the fixed ones.
  static constexpr GdiHandle kFirstMade = 16;

  // The live entry a handle names, or null. Inline: every operation on a
  // handle starts here.
  static Entry* entryOf(GdiHandle handle) {
    const GdiHandle v = handle - kFirstMade;
    const auto index = static_cast<std::uint32_t>(v);
    if (handle < kFirstMade || index >= registry.entries.size()) return nullptr;
    Entry& e = registry.entries[index];
    return e.live && e.generation == static_cast<std::uint32_t>(v >> 32) ? &e : nullptr;
  }
  static GdiHandle handleOf(std::uint32_t index) {
    return kFirstMade + ((static_cast<GdiHandle>(registry.entries[index].generation) << 32) | index);
  }
  // A live entry for a new object; null when the platform refuses.
  static Entry* newEntry(GdiKind kind, GdiHandle& handle);
  // Deletes a live entry's object; false when the platform refuses.
  static bool erase(Entry& entry, GdiHandle handle);
};
