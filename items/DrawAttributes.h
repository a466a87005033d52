#pragma once
// The current drawing attributes: the values the last attribute items
// applied. Only the rendering of attribute items changes them; a clear
// rebuilds the attribute items from them. lineType holds the pen style
// (PS_SOLID...PS_DASHDOT), textAlig the text-alignment flags (TA_LEFT 0,
// TA_CENTER 6, TA_RIGHT 2), not the item codes. The display's state holds
// the one set a display draws with (stream/DisplayState.h).

#include <optional>
#include <string>
#include <string_view>

#include "framework/gdi/TColor.h"
#include "framework/surface/Surface.h"

struct DrawAttributes {
  std::optional<std::string> fontName;  // none: the surface chooses the face
  int fontHeight = 0;
  int textAlig = TA_LEFT | TA_TOP;
  int lineWidth = 0;
  int lineType = PS_SOLID;
  TColor lineColor;
  TColor textColor;

  // Puts all seven back to their start values: no face, height 0, left/top
  // alignment, width 0, solid, black lines and black text.
  void resetDrawAttributes();

  // Releases the previous face name and stores a copy of `name`; when the
  // copy cannot be made for lack of memory, no face name.
  void setFontName(std::string_view name);
};

// Item codes and the platform values they stand for. lineTypeOfCode and
// textAligOfCode return -1 for a code outside the table; the inverse ones
// return 0 for a value outside it.
int lineTypeOfCode(int code);
int codeOfLineType(int style);
int textAligOfCode(int code);
int codeOfTextAlig(int flags);
