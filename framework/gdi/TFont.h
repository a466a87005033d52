#pragma once
// A font made from the platform's font-creation values (a null face lets
// the surface choose one). Always owned; raises TXGdi(32739) if the platform
// makes none.

#include <cstdint>

#include "framework/gdi/TGdiObject.h"

class TFont : public TGdiObject {
public:
  TFont(const char* facename, int height = 0, int width = 0, int escapement = 0, int orientation = 0,
        int weight = FW_NORMAL, std::uint8_t pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE,
        std::uint8_t italic = 0, std::uint8_t underline = 0, std::uint8_t strikeout = 0,
        std::uint8_t charSet = DEFAULT_CHARSET, std::uint8_t outputPrecision = OUT_DEFAULT_PRECIS,
        std::uint8_t clipPrecision = CLIP_DEFAULT_PRECIS, std::uint8_t quality = DEFAULT_QUALITY);
};
