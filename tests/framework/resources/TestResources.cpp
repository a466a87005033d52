// The framework has no resources of its own: its tests use the program's
// menu and icon files, read from the source tree.

#include "framework/resources/TResources.h"

namespace {
const bool registered = [] {
  TResources::SetMenu("DRAW_MENU", ZORVA_SOURCE_DIR "/app/resources/DRAW_MENU.menu");
  TResources::SetIcon(32000, ZORVA_SOURCE_DIR "/app/resources/32000.svg");
  return true;
}();
}  // namespace
