#include "items/DrawAttributes.h"

#include <new>

#include "framework/surface/Surface.h"

void DrawAttributes::resetDrawAttributes() { *this = DrawAttributes(); }

void DrawAttributes::setFontName(std::string_view name) {
  fontName.reset();
  std::string copy;
  try {
    copy.assign(name);
  } catch (const std::bad_alloc&) {
    return;
  }
  fontName = std::move(copy);
}

int lineTypeOfCode(int code) {
  switch (code) {
    case 1:
      return PS_SOLID;
    case 2:
      return PS_DASH;
    case 3:
      return PS_DOT;
    case 4:
      return PS_DASHDOT;
    default:
      return -1;
  }
}

int codeOfLineType(int style) { return style >= PS_SOLID && style <= PS_DASHDOT ? style + 1 : 0; }

int textAligOfCode(int code) {
  switch (code) {
    case 1:
      return TA_LEFT | TA_TOP;
    case 2:
      return TA_CENTER | TA_TOP;
    case 3:
      return TA_RIGHT | TA_TOP;
    default:
      return -1;
  }
}

int codeOfTextAlig(int flags) {
  switch (flags) {
    case TA_LEFT | TA_TOP:
      return 1;
    case TA_CENTER | TA_TOP:
      return 2;
    case TA_RIGHT | TA_TOP:
      return 3;
    default:
      return 0;
  }
}
