#pragma once
// Writes drawing requests for the ZORVA daemon into its command file.
//
// A client program does not draw itself: it appends items to a command file
// that a running display follows. Each call below writes one item and
// flushes it, so the display picks it up at its next look at the file
// (twice a second). Coordinates are pixels of the display's window, origin at
// its bottom-left corner, y growing upward.
//
// Plain C++ and stdio only: copy ZorvaWriter.h and ZorvaWriter.cpp into
// your own program.

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

class ZorvaWriter {
public:
  enum LineType { Solid = 1, Dashed = 2, Dotted = 3, DashDot = 4 };
  enum Align { Left = 1, Center = 2, Right = 3 };
  // The longest text or font name the display keeps; longer ones are cut
  // here, at a character boundary.
  static constexpr std::size_t MaxText = 255;

  // Appends to the file at `path`, creating it if needed.
  explicit ZorvaWriter(const std::string& path);
  // Writes to an open stream, which stays the caller's.
  explicit ZorvaWriter(std::FILE* stream);
  ~ZorvaWriter();
  ZorvaWriter(const ZorvaWriter&) = delete;
  ZorvaWriter& operator=(const ZorvaWriter&) = delete;

  // False once the file could not be opened or a write failed.
  bool ok() const { return good; }

  // Control items.
  void start();  // a new picture: empty, white lines, white 12-pixel Arial text
  void exit();   // close the display
  void clear();  // empty the picture, keeping the current attributes

  // Drawing items, in the current attributes.
  void line(int x1, int y1, int x2, int y2);
  void text(int x, int y, std::string_view s);  // (x, y): top of the text
  void circle(int x, int y, int radius);
  void arc(int x, int y, int radius, int beginDegrees, int endDegrees);
  void polyline(int x, int y);    // first point of a polyline (draws nothing)
  void polyvertex(int x, int y);  // line from the previous point to this one

  // Attribute items: they apply to the items that follow.
  void lineColor(int red, int green, int blue);  // each 0 to 255
  void textColor(int red, int green, int blue);
  void lineWidth(int width);
  void lineType(int type);      // a LineType
  void textHeight(int height);  // character cell height in pixels
  void font(std::string_view face);
  void textAlign(int align);    // an Align: where x lies on the text

private:
  void item(int kind, std::initializer_list<int> args);
  void stringItem(int kind, std::initializer_list<int> args, std::string_view s);
  void emit(const std::string& bytes);

  std::FILE* out;
  bool owned;
  bool good;
};
