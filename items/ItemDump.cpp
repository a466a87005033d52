// The item's diagnostic dump: its kind and arguments as text in one or two
// message boxes captioned "DEBUG". No command of the program calls it; a
// debugger or a test calls it to look at what a client wrote.

#include <cstdarg>
#include <cstdio>

#include "framework/report/MessageBox.h"
#include "items/zvItem.h"

namespace {

// Formats one box's text into a 256-byte buffer and shows it. A text that
// does not fit (a long text item's string) is cut at the buffer's end.
__attribute__((format(printf, 1, 2))) void showDump(const char* format, ...) {
  char print[256];
  va_list values;
  va_start(values, format);
  std::vsnprintf(print, sizeof print, format, values);
  va_end(values);
  ShowMessageBox(print, "DEBUG", MB_OK);
}

}  // namespace

void zvItem::debugDisp() {
  // Every kind shows its argument slots whatever its count says.
  const int a1 = args[0], a2 = args[1], a3 = args[2], a4 = args[3], a5 = args[4];
  switch (func) {
    case ZV_LINE:
      showDump("  - LINE -\n  Points: (%d,%d) -> (%d,%d)\n", a1, a2, a3, a4);
      break;
    case ZV_TEXT:
      showDump("  - TEXT -\n  Point: (%d,%d) len: %d text: X%sX\n\r", a1, a2, a3, str.c_str());
      break;
    case ZV_LINE_COLOR:
      showDump("  - LINE COLOR -\n  Red: %d  Green: %d  Blue: %d\n\r", a1, a2, a3);
      break;
    case ZV_TEXT_COLOR:
      showDump("  - TEXT COLOR -\n  Red: %d  Green: %d  Blue: %d\n\r", a1, a2, a3);
      break;
    case ZV_LINE_WIDTH:
      showDump("  - LINE WIDTH -\n  Width: %d\n\r", a1);
      break;
    case ZV_LINE_TYPE:
      showDump("  - LINE TYPE -\n\r");
      switch (a1) {
        case 1:
          showDump("  Type: %d - SOLID\n\r", a1);
          break;
        case 2:
          showDump("  Type: %d - DASHED\n\r", a1);
          break;
        case 3:
          showDump("  Type: %d - DOTTED\n\r", a1);
          break;
        case 4:
          showDump("  Type: %d - DASH-DOT\n\r", a1);
          break;
        default:
          break;  // a type the display ignores: the header alone
      }
      break;
    case ZV_TEXT_HEIGHT:
      showDump("  - TEXT HEIGHT -\n  Height: %d\n  Pointer: %p\n\r", a1, static_cast<const void*>(&args[0]));
      break;
    case ZV_TEXT_FONT:
      showDump("  - TEXT FONT -\n  Font: X%sX\n\r", str.c_str());
      break;
    case ZV_TEXT_ALIGN:
      showDump("  - PORAVNAVA TEXTA -\n\r");
      switch (a1) {
        case 1:
          showDump("  Poravnava: %d - LEFT\n\r", a1);
          break;
        case 2:
          showDump("  Poravnava: %d - CENTER\n\r", a1);
          break;
        case 3:
          showDump("  Poravnava: %d - RIGHT\n\r", a1);
          break;
        default:
          break;  // an alignment the display ignores: the header alone
      }
      break;
    case ZV_CIRCLE:
      showDump("  - CIRCLE -\n  Center: (%d,%d)  Radius: %d\n\r", a1, a2, a3);
      break;
    case ZV_ARC:
      showDump("  - ARC -\n  Center: (%d,%d)  Radius: %d Begin angle: %f  End angle: %f\n\r", a1, a2, a3,
               static_cast<double>(a4), static_cast<double>(a5));
      break;
    case ZV_POLYLINE:
      showDump("  - POLYLINE -\n  Begin: (%d,%d)\n\r", a1, a2);
      break;
    case ZV_POLYVERTEX:
      showDump("  - POLYVERTEX -\n  Point: (%d,%d)\n\r", a1, a2);
      break;
    default:
      break;  // control items and unknown kinds show nothing
  }
}
