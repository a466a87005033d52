#include "framework/gdi/TFont.h"

TFont::TFont(const char* facename, int height, int width, int escapement, int orientation, int weight,
             std::uint8_t pitchAndFamily, std::uint8_t italic, std::uint8_t underline, std::uint8_t strikeout,
             std::uint8_t charSet, std::uint8_t outputPrecision, std::uint8_t clipPrecision,
             std::uint8_t quality) {
  FontDesc d;
  d.height = height;
  d.width = width;
  d.escapement = escapement;
  d.orientation = orientation;
  d.weight = weight;
  d.italic = italic;
  d.underline = underline;
  d.strikeOut = strikeout;
  d.charSet = charSet;
  d.outPrecision = outputPrecision;
  d.clipPrecision = clipPrecision;
  d.quality = quality;
  d.pitchAndFamily = pitchAndFamily;
  d.hasFace = facename != nullptr;
  if (facename) d.face = facename;
  Handle = GdiObjects::CreateFontA(d);
  CheckValid(Handle);
  ShouldDelete = true;
  RefAdd(Handle);
}
