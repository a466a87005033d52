#pragma once
// Follows a command file exactly as the display window would, in a virtual
// client area with a black background and its origin at the bottom-left
// corner, drawing on any surface:
//   the window's first size and paint (origin, erase);
//   the polling step until the file has no new bytes (or an exit item);
//   one paint cycle for each paint request the step posted: erase where a
//   clear asked for it, then replay the whole display list;
//   the end of the drawing context (initial pen and font restored).
// Resets the program-wide display list and attributes first. The file is
// only read.

#include <string>

class Surface;

struct RenderResult {
  bool opened = false;     // false: the file could not be opened (see error)
  std::string error;
  bool exited = false;     // an exit item was reached
  int items = 0;           // items in the display list at the end
};

RenderResult RenderFile(const char* path, Surface& surface, int width, int height);
