#pragma once
// The process-wide table of platform graphics objects: pens and fonts made
// without a device context, the stock objects, and the initial pen and font
// every new context starts with. A handle names one object; 0 names none.
// Handles are never reused while the process runs.
//
// Surfaces that want to see object creation and deletion in call order (the
// recording surface) register as observers. Tests can make the next
// creations or deletions fail, as the platform may.

#include <cstdint>
#include <string>
#include <vector>

using GdiHandle = std::uint64_t;

// Pen styles.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };

// Stock object indices.
enum : int { WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, SYSTEM_FONT = 13 };

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
  // context (a black one-pixel solid pen and the default font). None of them
  // is ever deleted.
  static constexpr GdiHandle WhitePen = 1, BlackPen = 2, NullPen = 3, SystemFont = 4, DefaultPen = 5,
                             DefaultFont = 6;

  // A new pen or font; 0 when the platform refuses (only by injection here).
  static GdiHandle CreatePen(int style, int width, std::uint32_t color);
  static GdiHandle CreateFontA(const FontDesc& font);
  // The stock object of that index, 0 for an unknown index.
  static GdiHandle GetStockObject(int index);
  // Frees a made pen or font. False for a handle that names no made object
  // (stock and initial objects included) or an injected failure; the object
  // then stays.
  static bool DeleteObject(GdiHandle handle);

  // What a handle names; null when it names no pen (or font).
  static const PenDesc* Pen(GdiHandle handle);
  static const FontDesc* Font(GdiHandle handle);
  static bool IsPen(GdiHandle handle) { return Pen(handle) != nullptr; }
  static bool IsFont(GdiHandle handle) { return Font(handle) != nullptr; }
  // The stock index of a stock handle (DefaultPen and DefaultFont have
  // none), or -1.
  static int StockIndex(GdiHandle handle);
  // The name of a stock or initial handle ("WHITE_PEN", "DEFAULT_FONT"),
  // or null.
  static const char* StockName(GdiHandle handle);
  // Pens and fonts made and not yet deleted.
  static std::size_t LiveCount();
  static std::vector<GdiHandle> LiveHandles();

  static void AddObserver(GdiObserver* observer);
  static void RemoveObserver(GdiObserver* observer);

  // Fault injection: the next `count` creations return 0, the next `count`
  // deletions return false. 0 turns it off.
  static void FailNextCreations(int count);
  static void FailNextDeletions(int count);
};
