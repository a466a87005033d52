#pragma once
// Follows a command file exactly as the display window would, in a virtual
// client area with a black background and its origin at the bottom-left
// corner, drawing on any surface:
//   the window's first size and paint (origin, erase);
//   the polling step until the file has no new bytes (or an exit item);
//   one paint cycle for each paint request the step posted: erase where a
//   clear asked for it, then replay the whole display list;
//   the end of the drawing context (initial pen and font restored).
// Each call starts from a display state of its own. The file is only
// read. Only a regular file or a FIFO is taken (stream/CommandFile.h); a
// FIFO is read until its writers close it, waiting for the first one.

#include <string>

class Surface;

struct RenderResult {
  bool opened = false;  // false: the file could not be opened or was refused (see error)
  std::string error;
  bool exited = false;  // an exit item was reached
  int items = 0;        // items in the display list at the end
};

// threads: 1 keeps all the work on the calling thread; any other number
// lets the display list prepare its memory on a worker thread.
RenderResult RenderFile(const char* path, Surface& surface, int width, int height, int threads = 0);

// A FIFO can be followed only once. For a FIFO, reads its bytes as
// RenderFile would (waiting for the first writer, up to the end the writers
// make) into a memory file and returns a name for that copy, which may be
// followed any number of times until the process ends; for a regular file
// returns `path`. Empty, with the reason in `error`, when the file is
// refused or cannot be opened.
std::string KeepFifoBytes(const char* path, std::string& error);
