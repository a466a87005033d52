#pragma once
// A surface that keeps a picture's drawings for a vector file, each once.
// The display draws every item twice, live and again in a paint's replay;
// a vector file holding both would be twice as large and slow to show for
// no visible change. So:
//   - a drawing identical to an earlier one (the same call with the same
//     coordinates, viewport origin and, as the call uses them, pen, font,
//     text colour, alignment and background mode) replaces it: it is kept
//     once, at its last occurrence;
//   - an erase of the whole area drops every drawing before it, all of them
//     hidden under it;
//   - every other drawing stays where it came, also one that a later
//     drawing may partly cover (the old picture under a start item that
//     does not erase, for example).
// A line's dash pattern runs on along connected lines, so a line counts as
// identical only when the run of lines it continues is identical as well.
//
// Paint then draws the kept drawings, in order, on another surface (the
// raster surface on a vector paint device). Painting a later identical
// drawing over an earlier one changes no pixel the later one does not
// paint, so the picture is the one drawn in full, save where anti-aliased
// edges were drawn over themselves.
//
// State calls behave as on any surface (each returns the previous value).
// Memory: about 60 bytes a kept drawing, plus its text's bytes.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/surface/GdiObjects.h"
#include "framework/surface/Surface.h"

class VectorScene : public Surface {
public:
  // A client area of width x height device pixels: the whole area an erase
  // must cover to hide everything before it.
  VectorScene(int width, int height);

  void MoveToEx(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOutA(int x, int y, const char* text, int count) override;
  std::uint32_t SetTextColor(std::uint32_t color) override;
  unsigned SetTextAlign(unsigned flags) override;
  int SetBkMode(int mode) override;
  GdiHandle SelectObject(GdiHandle object) override;
  void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) override;
  void SetViewportOrgEx(int x, int y) override;
  void EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) override;

  // Draws the kept drawings on `onto`, first to last, with pens and fonts
  // made for the purpose (and deleted again). `onto` starts in a new
  // context's state; it is left with its initial pen and font selected.
  void Paint(Surface& onto) const;

  // The same, a part at a time (below).
  class Painter;
  // Drawings kept.
  std::size_t Count() const { return live; }

private:
  enum class Kind : std::uint8_t { Line, Text, Arc, Erase };
  struct Drawing {
    Kind kind;
    bool alive;
    bool restart;         // Line: starts a new dash run
    std::uint32_t style;  // Line, Arc: pen; Text: text style; Erase: 0
    std::uint32_t origin;
    std::int32_t v[8];  // Line: x0 y0 x1 y1; Text: x y count; Arc: its 8; Erase: x y w h colour
    std::uint64_t extra;  // Line: the run it continues; Text: where its bytes start
  };
  struct TextStyle {
    std::uint32_t font;
    std::uint32_t color;
    unsigned align;
    int bkMode;
    bool operator==(const TextStyle&) const = default;
  };

  void add(const Drawing& d);
  std::uint64_t hashOf(const Drawing& d) const;
  bool same(const Drawing& a, const Drawing& b) const;
  // Finds the slot of a drawing equal to `d`, or the empty slot for it.
  std::size_t slotOf(const Drawing& d, std::uint64_t hash) const;
  void rehash(std::size_t slots);
  void compact();
  void clear();
  std::uint32_t penIndex();
  std::uint32_t textStyleIndex();
  std::uint32_t originIndex();

  const int width, height;
  std::vector<Drawing> drawings;
  std::size_t live = 0;
  std::string texts;                 // the bytes of every kept text, back to back
  std::vector<std::uint32_t> table;  // open addressing: drawing index + 1, 0 empty

  // Interned states, small tables: a picture uses a few of each.
  std::vector<PenDesc> pens;
  std::vector<FontDesc> fonts;
  std::vector<TextStyle> textStyles;
  std::vector<std::pair<int, int>> origins;

  // The state the calls left.
  GdiHandle penHandle = GdiObjects::DefaultPen;
  GdiHandle fontHandle = GdiObjects::DefaultFont;
  std::uint32_t pen = 0, font = 0;  // indices of the selected pen's and font's descriptions
  std::uint32_t textColor = 0;
  unsigned textAlign = 0;
  int bkMode = OPAQUE;
  int orgX = 0, orgY = 0;
  std::uint32_t origin = 0;
  int curX = 0, curY = 0;
  std::uint64_t run = 0;  // the dash run so far; 0 right after a restart
  bool restartPending = true;

public:
  // The same, a part at a time: each Run draws on until the drawings are
  // done or `until` has passed. The scene must not change meanwhile.
  class Painter {
  public:
    using Clock = std::chrono::steady_clock;
    Painter(const VectorScene& scene, Surface& onto);
    // Puts back the initial pen and font and deletes its own.
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    // True when every drawing is drawn.
    bool Run(Clock::time_point until);

  private:
    void usePen(std::uint32_t index);
    void draw(const Drawing& d);

    const VectorScene& scene;
    Surface& onto;
    std::size_t next = 0;
    std::vector<GdiHandle> penHandles, fontHandles;
    std::uint32_t selectedPen, selectedFont, at;
    std::uint32_t color = 0;
    unsigned align = 0;
    int mode = OPAQUE;
    int x = 0, y = 0;
  };
};
