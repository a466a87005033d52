#include "framework/gdi/TDC.h"

#include <cstring>
#include <limits>

#include "framework/gdi/TFont.h"
#include "framework/gdi/TPen.h"

TDC::~TDC() { RestoreObjectsAtEnd(); }

void TDC::RestoreObjectsAtEnd() noexcept {
  try {
    RestoreObjects();
  } catch (const TXGdi&) {
    // A refused deletion at the context's end leaves that object alive.
  }
}

void TDC::TextOutA(int x, int y, const char* text, int count) {
  if (count < 0) {
    const std::size_t n = text ? std::strlen(text) : 0;
    count = n > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                          : static_cast<int>(n);
  }
  surface->TextOutA(x, y, text ? text : "", text ? count : 0);
}

void TDC::Select(GdiHandle object, GdiHandle& original) {
  const GdiHandle old = surface->SelectObject(object);
  if (!old) return;
  TGdiObject::RefInc(object);
  if (!original)
    original = old;
  else
    TGdiObject::RefDec(old);
}

void TDC::SelectObject(const TPen& pen) { Select(pen.GetHandle(), orgPen); }
void TDC::SelectObject(const TFont& font) { Select(font.GetHandle(), orgFont); }

void TDC::Restore(GdiHandle& original) {
  if (!original) return;
  const GdiHandle old = surface->SelectObject(original);
  original = 0;
  if (old) TGdiObject::RefDec(old);
}

void TDC::RestoreObjects() {
  // The font is restored even when releasing the pen is refused.
  try {
    Restore(orgPen);
  } catch (const TXGdi&) {
    Restore(orgFont);
    throw;
  }
  Restore(orgFont);
}
