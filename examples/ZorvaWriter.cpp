#include "ZorvaWriter.h"

namespace {

enum Kind {
  Init = 0, Exit = 1, Line = 2, Text = 3, LineColor = 4, TextColor = 5, LineWidth = 6,
  LineTypeKind = 7, TextHeight = 8, TextFont = 9, TextAlign = 10, Circle = 11, Clear = 12,
  Arc = 13, Polyline = 14, Polyvertex = 15,
};

// The display reads a string up to its counted length but stops at a NUL,
// and keeps at most MaxText bytes; cut before either, and not inside a UTF-8
// character.
std::string_view displayable(std::string_view s) {
  s = s.substr(0, s.find('\0'));
  if (s.size() <= ZorvaWriter::MaxText) return s;
  std::size_t n = ZorvaWriter::MaxText;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

}  // namespace

ZorvaWriter::ZorvaWriter(const std::string& path)
    : out(std::fopen(path.c_str(), "ab")), owned(true), good(out != nullptr) {}

ZorvaWriter::ZorvaWriter(std::FILE* stream) : out(stream), owned(false), good(out != nullptr) {}

ZorvaWriter::~ZorvaWriter() {
  if (owned && out) std::fclose(out);
}

// An item is its kind, its count and its integers, each followed by a space.
// The line feed after it only makes the file easier to read.
void ZorvaWriter::item(int kind, std::initializer_list<int> args) {
  std::string bytes = std::to_string(kind) + " " + std::to_string(args.size()) + " ";
  for (int a : args) bytes += std::to_string(a) + " ";
  emit(bytes + "\n");
}

// Text and font items: the string counts as one more argument; its length is
// the last integer, and the string follows after its space.
void ZorvaWriter::stringItem(int kind, std::initializer_list<int> args, std::string_view s) {
  s = displayable(s);
  std::string bytes = std::to_string(kind) + " " + std::to_string(args.size() + 2) + " ";
  for (int a : args) bytes += std::to_string(a) + " ";
  bytes += std::to_string(s.size()) + " ";
  bytes += s;
  emit(bytes + "\n");
}

void ZorvaWriter::emit(const std::string& bytes) {
  if (!good) return;
  good = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

void ZorvaWriter::start() { item(Init, {}); }
void ZorvaWriter::exit() { item(Exit, {}); }
void ZorvaWriter::clear() { item(Clear, {}); }
void ZorvaWriter::line(int x1, int y1, int x2, int y2) { item(Line, {x1, y1, x2, y2}); }
void ZorvaWriter::text(int x, int y, std::string_view s) { stringItem(Text, {x, y}, s); }
void ZorvaWriter::circle(int x, int y, int radius) { item(Circle, {x, y, radius}); }
void ZorvaWriter::arc(int x, int y, int radius, int beginDegrees, int endDegrees) {
  item(Arc, {x, y, radius, beginDegrees, endDegrees});
}
void ZorvaWriter::polyline(int x, int y) { item(Polyline, {x, y}); }
void ZorvaWriter::polyvertex(int x, int y) { item(Polyvertex, {x, y}); }
void ZorvaWriter::lineColor(int red, int green, int blue) { item(LineColor, {red, green, blue}); }
void ZorvaWriter::textColor(int red, int green, int blue) { item(TextColor, {red, green, blue}); }
void ZorvaWriter::lineWidth(int width) { item(LineWidth, {width}); }
void ZorvaWriter::lineType(int type) { item(LineTypeKind, {type}); }
void ZorvaWriter::textHeight(int height) { item(TextHeight, {height}); }
void ZorvaWriter::font(std::string_view face) { stringItem(TextFont, {}, face); }
void ZorvaWriter::textAlign(int align) { item(TextAlign, {align}); }
