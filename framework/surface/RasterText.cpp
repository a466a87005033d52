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
// of larger ones at every drawing. Glyphs above 64 device pixels are drawn
// from masks, up to the largest device size kept as masks: Qt's fill of a
// glyph that the target's edge cuts is not quite the fill of the uncut
// glyph (its edge pixels may differ by a level), where a mask, filled
// whole, gives every target the same pixels.
constexpr int kQtGlyphImagePixels = 64;
constexpr double kLargestMaskPixels = 512;
// Texts wider than this (logical pixels) are drawn from the characters that
// reach into the part of the plane from 0 to this width only (see
// drawVisibleSlice). A fixed bound, not the target's width, so that a text
// draws the same pixels on targets of every size up to it.
constexpr double kWideText = 32768;

}  // namespace

void RasterSurface::useTextPen() {
  if (painterPen != PainterPen::Text) {
    painter.setPen(ToQColor(textColor));
    painterPen = PainterPen::Text;
  }
}

double RasterSurface::textScale() const {
  // Fonts are chosen as at 1:1 and then scaled, no larger than the largest
  // pixel size a font is made at.
  if (zoom == 1) return 1;
  const double pixels = std::max(font->font.pixelSize(), 1);
  return std::min(zoom, RasterFontMaxPixels / pixels);
}

void RasterSurface::TextOutA(int x, int y, const char* text, int count) {
  if (count <= 0 || !text) return;
  if (suspended && !resume()) return;
  if (!painter.isActive()) return;
  plotter.Flush();
  if (!font) font = RasterFontFor(fontDesc);
  const double scale = textScale();
  const double height = font->height * scale;
  double top = viewY(y);
  if ((textAlign & TA_BASELINE) == TA_BASELINE)
    top -= font->ascent * scale;
  else if (textAlign & TA_BOTTOM)
    top -= height;
  const double bottom = top + height;
  // Glyphs may overhang their cell a little (italics, accents). A text
  // whose cell lies that far above or below the picture is not even laid
  // out: the test leaves out only what no target of any size would show
  // inside its own area.
  const double overhang = height / 2.0 + 2;
  if (bottom + overhang <= 0 || top - overhang >= devH) return;
  const bool own = ownsGlyphs(scale);
  const TextCache::Entry& e = texts.Get(*font, ratio, text, count, own);
  const double advance = e.advance * scale;
  double left = viewX(x);
  if ((textAlign & TA_CENTER) == TA_CENTER)
    left -= advance / 2;
  else if (textAlign & TA_RIGHT)
    left -= advance;
  const double right = left + advance;
  if (right + overhang <= 0 || left - overhang >= devW) return;
  damage(left - overhang, top - overhang, right + overhang, bottom + overhang);
  if (bkMode == OPAQUE) {
    const QRectF cell(QPointF(std::max(left, -1.0), std::max(top, -1.0)),
                      QPointF(std::min(right, devW + 1), std::min(bottom, devH + 1)));
    painter.fillRect(cell, ToQColor(bkColor));
  }
  const bool wide = advance > kWideText || !raster::withinQt(left);
  if (own && e.placed && !wide && drawGlyphs(e, left, top, scale)) return;
  if (!painterFontSet) {
    painter.setFont(font->font);
    painterFontSet = true;
  }
  useTextPen();
  if (font->font.pixelSize() * scale * ratio > kQtGlyphImagePixels) {
    // Qt fills the outlines of glyphs this large.
    if (settledFont != font->id) {
      settleRaw = QRawFont::fromFont(font->font);
      settledFont = font->id;
    }
    GlyphMasks::SettleOutlines(settleRaw);
  }
  if (wide) {
    drawVisibleSlice(text, count, left, top, scale);
    return;
  }
  if (scale == 1) {
    painter.drawStaticText(QPointF(left, top), e.text);
    return;
  }
  // The 1:1 layout under the zoom.
  const QTransform kept = painter.transform();
  painter.translate(left, top);
  painter.scale(scale, scale);
  painter.drawStaticText(QPointF(0, 0), e.text);
  painter.setTransform(kept);
}

bool RasterSurface::ownsGlyphs(double scale) const {
  const int pixels = font->font.pixelSize();
  return glyphMasksOn && glyphPixels.bits && pixels * scale * ratio > kQtGlyphImagePixels &&
         pixels * scale * ratio <= kLargestMaskPixels && !font->font.underline() && !font->font.strikeOut();
}

bool RasterSurface::drawGlyphs(const TextCache::Entry& e, double left, double top, double scale) {
  for (const QRawFont& f : e.fonts)
    if (!glyphMasks.Drawable(f)) return false;
  const QRgb rgb = ToQRgb(textColor);
  // Qt places a text at its position cut to 64ths of a logical pixel
  // (toward zero); glyphs go where Qt would put them.
  left = std::trunc(left * 64) / 64;
  top = std::trunc(top * 64) / 64;
  // Glyphs reach a few ems from their origin at most; those farther off
  // the target are not even made.
  const double reach = 8 * font->font.pixelSize() * scale * ratio;
  for (const PlacedGlyph& g : e.glyphs) {
    const double x = (left + g.x * scale) * ratio, y = (top + g.y * scale) * ratio;
    if (x < -reach || y < -reach || x > glyphPixels.w + reach || y > glyphPixels.h + reach) continue;
    glyphMasks.Draw(e.fonts[static_cast<std::size_t>(g.font)], g.glyph, ratio * scale, x, y, rgb,
                    glyphPixels);
  }
  return true;
}

void RasterSurface::drawVisibleSlice(const char* text, int count, double left, double top, double scale) {
  // Qt would lay out and rasterise every glyph of a text far wider than the
  // target; only the characters whose advance reaches into the plane from 0
  // to kWideText (or the target's width, when wider) are drawn, with a glyph
  // height of slack for overhangs, placed by the advances of the characters
  // before them.
  const QString s = DecodeTextBytes(text, count);
  const QFontMetricsF m(font->font);
  const double slack = font->height * scale;
  const double reach = std::max(kWideText, devW) + slack;
  qsizetype first = -1, last = -1;
  double x = left, firstX = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
    const double w = scale * (pair ? m.horizontalAdvance(s.mid(i, 2)) : m.horizontalAdvance(s[i]));
    if (x + w >= -slack && x <= reach) {
      if (first < 0) {
        first = i;
        firstX = x;
      }
      last = pair ? i + 1 : i;
    }
    if (pair) ++i;
    x += w;
    if (x > reach) break;
  }
  if (first < 0) return;
  if (scale == 1) {
    painter.drawText(QPointF(firstX, top + font->ascent), s.mid(first, last - first + 1));
    return;
  }
  const QTransform kept = painter.transform();
  painter.translate(firstX, top);
  painter.scale(scale, scale);
  painter.drawText(QPointF(0, font->ascent), s.mid(first, last - first + 1));
  painter.setTransform(kept);
}
