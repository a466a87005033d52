#pragma once
// A surface that draws nothing and writes every call, one line each, in the
// trace format: no spaces, decimal integers, colours as 0x%08X, texts in
// double quotes with C escapes, objects named pen1, pen2, font1... in the
// order this surface saw them made (a run counts from 1), stock objects and
// a context's initial objects by their names (WHITE_PEN, BLACK_PEN,
// DEFAULT_PEN, DEFAULT_FONT...). Object creation and deletion reach the trace
// through the process-wide object table, which this surface observes while
// it lives.
//
// Its state starts as a new client-area context's: DEFAULT_PEN and
// DEFAULT_FONT selected.

#include <cstdint>
#include <ostream>
#include <string>
#include <unordered_map>

#include "framework/surface/GdiObjects.h"
#include "framework/surface/Surface.h"

class RecordingSurface : public Surface, private GdiObserver {
public:
  explicit RecordingSurface(std::ostream& out);
  ~RecordingSurface() override;
  RecordingSurface(const RecordingSurface&) = delete;
  RecordingSurface& operator=(const RecordingSurface&) = delete;

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

  // The trace name of a handle: pen1, font2, BLACK_PEN, DEFAULT_FONT, NULL
  // for 0. A made object this surface has not seen yet gets the next name of
  // its kind.
  std::string NameOf(GdiHandle handle);

  // The text as the trace quotes it, quotes included.
  static std::string Quote(const char* bytes, std::size_t count);

private:
  void CreatePen(const PenDesc& pen, GdiHandle made) override;
  void CreateFontA(const FontDesc& font, GdiHandle made) override;
  void GetStockObject(int index, GdiHandle stock) override;
  void DeleteObject(GdiHandle handle, bool deleted) override;

  std::string& nameNew(GdiHandle handle, GdiKind kind);

  std::ostream& out;
  std::unordered_map<GdiHandle, std::string> names;
  unsigned pens = 0, fonts = 0;
  GdiHandle pen = GdiObjects::DefaultPen;
  GdiHandle font = GdiObjects::DefaultFont;
  std::uint32_t textColor = 0;
  unsigned textAlign = 0;
  int bkMode = OPAQUE;
};
