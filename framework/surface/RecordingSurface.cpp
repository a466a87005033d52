#include "framework/surface/RecordingSurface.h"

#include <cstdio>

namespace {

std::string colour(std::uint32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", c);
  return buf;
}

std::string bkModeName(int mode) {
  if (mode == TRANSPARENT) return "TRANSPARENT";
  if (mode == OPAQUE) return "OPAQUE";
  return std::to_string(mode);
}

}  // namespace

RecordingSurface::RecordingSurface(std::ostream& out) : out(out) { GdiObjects::AddObserver(this); }

RecordingSurface::~RecordingSurface() { GdiObjects::RemoveObserver(this); }

std::string RecordingSurface::Quote(const char* bytes, std::size_t count) {
  std::string q = "\"";
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    switch (c) {
      case '"':
        q += "\\\"";
        break;
      case '\\':
        q += "\\\\";
        break;
      case '\n':
        q += "\\n";
        break;
      case '\t':
        q += "\\t";
        break;
      default:
        if (c >= 0x20 && c <= 0x7E) {
          q += static_cast<char>(c);
        } else {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          q += buf;
        }
    }
  }
  q += '"';
  return q;
}

std::string& RecordingSurface::nameNew(GdiHandle handle, GdiKind kind) {
  std::string& name = names[handle];
  name = kind == GdiKind::Pen ? "pen" + std::to_string(++pens) : "font" + std::to_string(++fonts);
  return name;
}

std::string RecordingSurface::NameOf(GdiHandle handle) {
  if (!handle) return "NULL";
  if (const char* stock = GdiObjects::StockName(handle)) return stock;
  auto it = names.find(handle);
  if (it != names.end()) return it->second;
  if (GdiObjects::IsPen(handle)) return nameNew(handle, GdiKind::Pen);
  if (GdiObjects::IsFont(handle)) return nameNew(handle, GdiKind::Font);
  return "obj" + std::to_string(handle);
}

void RecordingSurface::MoveToEx(int x, int y) { out << "MoveToEx(" << x << ',' << y << ")\n"; }

void RecordingSurface::LineTo(int x, int y) { out << "LineTo(" << x << ',' << y << ")\n"; }

void RecordingSurface::TextOutA(int x, int y, const char* text, int count) {
  const std::size_t n = count > 0 && text ? static_cast<std::size_t>(count) : 0;
  out << "TextOutA(" << x << ',' << y << ',' << Quote(text, n) << ',' << count << ")\n";
}

std::uint32_t RecordingSurface::SetTextColor(std::uint32_t color) {
  out << "SetTextColor(" << colour(color) << ")\n";
  const std::uint32_t old = textColor;
  textColor = color;
  return old;
}

unsigned RecordingSurface::SetTextAlign(unsigned flags) {
  out << "SetTextAlign(" << flags << ")\n";
  const unsigned old = textAlign;
  textAlign = flags;
  return old;
}

int RecordingSurface::SetBkMode(int mode) {
  out << "SetBkMode(" << bkModeName(mode) << ")\n";
  const int old = bkMode;
  if (mode == TRANSPARENT || mode == OPAQUE) bkMode = mode;
  return old;
}

GdiHandle RecordingSurface::SelectObject(GdiHandle object) {
  out << "SelectObject(" << NameOf(object) << ")\n";
  GdiHandle old = 0;
  if (GdiObjects::IsPen(object)) {
    old = pen;
    pen = object;
  } else if (GdiObjects::IsFont(object)) {
    old = font;
    font = object;
  }
  return old;
}

void RecordingSurface::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                           int yEnd) {
  out << "Arc(" << left << ',' << top << ',' << right << ',' << bottom << ',' << xStart << ',' << yStart
      << ',' << xEnd << ',' << yEnd << ")\n";
}

void RecordingSurface::SetViewportOrgEx(int x, int y) {
  out << "SetViewportOrgEx(" << x << ',' << y << ")\n";
}

void RecordingSurface::EraseBkgnd(int x, int y, int width, int height, std::uint32_t color) {
  out << "EraseBkgnd(" << x << ',' << y << ',' << width << ',' << height << ',' << colour(color) << ")\n";
}

void RecordingSurface::CreatePen(const PenDesc& p, GdiHandle made) {
  out << "CreatePen(" << p.style << ',' << p.width << ',' << colour(p.color)
      << ")=" << nameNew(made, GdiKind::Pen) << '\n';
}

void RecordingSurface::CreateFontA(const FontDesc& f, GdiHandle made) {
  out << "CreateFontA(" << f.height << ',' << f.width << ',' << f.escapement << ',' << f.orientation << ','
      << f.weight << ',' << f.italic << ',' << f.underline << ',' << f.strikeOut << ',' << f.charSet << ','
      << f.outPrecision << ',' << f.clipPrecision << ',' << f.quality << ',' << f.pitchAndFamily << ','
      << (f.hasFace ? Quote(f.face.data(), f.face.size()) : std::string("NULL"))
      << ")=" << nameNew(made, GdiKind::Font) << '\n';
}

void RecordingSurface::GetStockObject(int index, GdiHandle stock) {
  const char* name = GdiObjects::StockName(stock);
  out << "GetStockObject(" << (name ? name : std::to_string(index)) << ")\n";
}

void RecordingSurface::DeleteObject(GdiHandle handle, bool) {
  out << "DeleteObject(" << NameOf(handle) << ")\n";
  names.erase(handle);
}
