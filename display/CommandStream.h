#pragma once
// Follows the command file: on every poll tick reads the new bytes, cuts
// them into items, obeys start, clear and exit, and appends every other item
// to the display list and draws it at once.

#include "framework/TColor.h"

class StreamHost;
class TClientDC;

class CommandStream {
public:
  static constexpr int BufSize = 1024;  // 1023 bytes of text and a NUL

  // fd: the command file, open for reading at its current position.
  // dc: the window's client-area context; may be set later with SetDC.
  CommandStream(StreamHost& host, int fd, TClientDC* dc);

  void SetDC(TClientDC* dc) { winDC = dc; }

  // The polling step: stops the timer, reads until the file has no new
  // bytes (parsing after every read), then re-arms the timer. An exit item
  // posts a close request and leaves the timer stopped. A read error counts
  // as a read of no new bytes.
  void EvTimer(unsigned timerId);

  // Parses the NUL-terminated text from its start, acting on every complete
  // item. Returns the bytes taken by complete items, or -1 at an exit item.
  int ParseBuffer(char* text);

  // Appends the seven attribute items (font, height, text colour, alignment,
  // line colour, width, line type); alig and type are item codes.
  void InitDisplayList(const char* font, int height, TColor text, int alig, TColor line, int width,
                       int type);

  // The bytes carried over from earlier reads (an incomplete item).
  int Carried() const { return begin; }

private:
  StreamHost& host;
  int conID;
  TClientDC* winDC;
  char buf[BufSize] = {};
  int begin = 0;
};
