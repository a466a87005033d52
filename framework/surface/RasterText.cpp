// The raster surface's text: laid out once and kept (TextCache), drawn by
// Qt or, when large, from glyph masks (GlyphMasks).
#include "framework/surface/RasterSurface.h"

#include <algorithm>
#include <cmath>

#include "base/TextBytes.h"
#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterGeometry.h"

namespace {

// Qt keeps images of glyphs up to 64 device pixels and fills the outlines
// of larger ones at every drawing. Glyphs of fonts above 64 logical pixels
// are drawn from masks, up to the largest device size kept as masks. (A
// smaller font on a scaled image is outlined by Qt in another way, which
// masks do not reproduce pixel for pixel: it stays with Qt.)
constexpr int kQtGlyphImagePixels = 64;
constexpr double kLargestMaskPixels = 512;

}  // namespace

void RasterSurface::useTextPen() {
  if (painterPen != PainterPen::Text) {
    painter.setPen(ToQColor(textColor));
    painterPen = PainterPen::Text;
  }
}

void RasterSurface::TextOutA(int x, int y, const char* text, int count) {
  if (count <= 0 || !text) return;
  if (suspended && !resume()) return;
  if (!painter.isActive()) return;
  plotter.Flush();
  if (!font) font = RasterFontFor(fontDesc);
  double top = static_cast<double>(y) + orgY;
  if ((textAlign & TA_BASELINE) == TA_BASELINE)
    top -= font->ascent;
  else if (textAlign & TA_BOTTOM)
    top -= font->height;
  const double bottom = top + font->height;
  // A text above or below the picture is not even laid out.
  if (bottom <= 0 || top >= devH) return;
  const bool own = ownsGlyphs();
  const TextCache::Entry& e = texts.Get(*font, ratio, text, count, own);
  double left = static_cast<double>(x) + orgX;
  if ((textAlign & TA_CENTER) == TA_CENTER)
    left -= e.advance / 2;
  else if (textAlign & TA_RIGHT)
    left -= e.advance;
  const double right = left + e.advance;
  if (right <= 0 || left >= devW) return;
  // Glyphs may overhang their cell a little (italics, accents).
  const double overhang = font->height / 2.0 + 2;
  damage(left - overhang, top - overhang, right + overhang, bottom + overhang);
  if (bkMode == OPAQUE) {
    const QRectF cell(QPointF(std::max(left, -1.0), std::max(top, -1.0)),
                      QPointF(std::min(right, devW + 1), std::min(bottom, devH + 1)));
    painter.fillRect(cell, ToQColor(bkColor));
  }
  const bool wide = e.advance > devW + 2 * font->height || !raster::withinQt(left);
  if (own && e.placed && !wide && drawGlyphs(e, left, top)) return;
  if (!painterFontSet) {
    painter.setFont(font->font);
    painterFontSet = true;
  }
  useTextPen();
  if (wide) {
    drawVisibleSlice(text, count, left, top);
    return;
  }
  painter.drawStaticText(QPointF(left, top), e.text);
}

bool RasterSurface::ownsGlyphs() const {
  const int pixels = font->font.pixelSize();
  return glyphMasksOn && glyphPixels.bits && pixels > kQtGlyphImagePixels &&
         pixels * ratio <= kLargestMaskPixels && !font->font.underline() && !font->font.strikeOut();
}

bool RasterSurface::drawGlyphs(const TextCache::Entry& e, double left, double top) {
  for (const QRawFont& f : e.fonts)
    if (!glyphMasks.Drawable(f)) return false;
  const QRgb rgb = ToQRgb(textColor);
  // Qt places a text at its position cut to 64ths of a logical pixel
  // (toward zero); glyphs go where Qt would put them.
  left = std::trunc(left * 64) / 64;
  top = std::trunc(top * 64) / 64;
  // Glyphs reach a few ems from their origin at most; those farther off
  // the target are not even made.
  const double reach = 8 * font->font.pixelSize() * ratio;
  for (const PlacedGlyph& g : e.glyphs) {
    const double x = (left + g.x) * ratio, y = (top + g.y) * ratio;
    if (x < -reach || y < -reach || x > glyphPixels.w + reach || y > glyphPixels.h + reach) continue;
    glyphMasks.Draw(e.fonts[static_cast<std::size_t>(g.font)], g.glyph, ratio, x, y, rgb, glyphPixels);
  }
  return true;
}

void RasterSurface::drawVisibleSlice(const char* text, int count, double left, double top) {
  // Qt would lay out and rasterise every glyph of a text far wider than the
  // target; only the characters whose advance reaches into it are drawn
  // (with a glyph height of slack for overhangs), placed by the advances of
  // the characters before them.
  const QString s = DecodeTextBytes(text, count);
  const QFontMetricsF m(font->font);
  const double slack = font->height;
  qsizetype first = -1, last = -1;
  double x = left, firstX = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
    const double w = pair ? m.horizontalAdvance(s.mid(i, 2)) : m.horizontalAdvance(s[i]);
    if (x + w >= -slack && x <= devW + slack) {
      if (first < 0) {
        first = i;
        firstX = x;
      }
      last = pair ? i + 1 : i;
    }
    if (pair) ++i;
    x += w;
    if (x > devW + slack) break;
  }
  if (first < 0) return;
  painter.drawText(QPointF(firstX, top + font->ascent), s.mid(first, last - first + 1));
}
