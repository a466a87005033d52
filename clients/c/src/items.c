/* One function for each item kind. An item's text is its kind, its count
   and its integers, each followed by a space; a text or font item then holds
   its string's length and the string, which counts as one more argument. The
   line feed after each item only makes the file easier to read. */
#include <stdio.h>
#include <string.h>

#include "handle.h"

/* The kind codes, with the names of the display's kind table
   (items/ItemKinds.h); tests/items/KindSourcesTest.cpp compares the two. */
enum kind {
  ZV_INIT = 0,
  ZV_EXIT = 1,
  ZV_LINE = 2,
  ZV_TEXT = 3,
  ZV_LINE_COLOR = 4,
  ZV_TEXT_COLOR = 5,
  ZV_LINE_WIDTH = 6,
  ZV_LINE_TYPE = 7,
  ZV_TEXT_HEIGHT = 8,
  ZV_TEXT_FONT = 9,
  ZV_TEXT_ALIGN = 10,
  ZV_CIRCLE = 11,
  ZV_CLEAR = 12,
  ZV_ARC = 13,
  ZV_POLYLINE = 14,
  ZV_POLYVERTEX = 15
};

/* Room for the longest item: two small numbers, five integers, a length
   and a whole string. */
enum { ITEM_MAX = 512 };

static int item(zorva* z, const char* name, int kind, int count, const int* args) {
  if (!z) return ZORVA_EINVAL;
  char buf[ITEM_MAX];
  int n = snprintf(buf, sizeof buf, "%d %d ", kind, count);
  for (int i = 0; i < count; ++i) n += snprintf(buf + n, sizeof buf - (size_t)n, "%d ", args[i]);
  buf[n++] = '\n';
  return zv_emit(z, name, buf, (size_t)n);
}

static int string_item(zorva* z, const char* name, int kind, int count, const int* args, const char* s,
                       size_t size) {
  if (!z) return ZORVA_EINVAL;
  if (z->failed) return ZORVA_EFAILED;
  if (!s) return zv_report(z, ZORVA_EINVAL, "the %s item's string is a null pointer", name);
  /* A display ends its text at a NUL: the item would never complete. */
  const char* nul = memchr(s, '\0', size);
  if (nul)
    return zv_report(z, ZORVA_EINVAL, "the %s item's string holds a NUL byte at offset %zu", name,
                     (size_t)(nul - s));
  const size_t kept = zv_kept_length(s, size);
  char buf[ITEM_MAX];
  int n = snprintf(buf, sizeof buf, "%d %d ", kind, count + 2);
  for (int i = 0; i < count; ++i) n += snprintf(buf + n, sizeof buf - (size_t)n, "%d ", args[i]);
  n += snprintf(buf + n, sizeof buf - (size_t)n, "%zu ", kept);
  memcpy(buf + n, s, kept);
  n += (int)kept;
  buf[n++] = '\n';
  const int rc = zv_emit(z, name, buf, (size_t)n);
  if (rc != ZORVA_OK || kept == size) return rc;
  return zv_report(z, ZORVA_CUT, "the %s item's string was cut from %zu to %zu bytes", name, size, kept);
}

int zorva_start(zorva* z) { return item(z, "start", ZV_INIT, 0, NULL); }
int zorva_exit(zorva* z) { return item(z, "exit", ZV_EXIT, 0, NULL); }
int zorva_clear(zorva* z) { return item(z, "clear", ZV_CLEAR, 0, NULL); }

int zorva_line(zorva* z, int x1, int y1, int x2, int y2) {
  const int a[] = {x1, y1, x2, y2};
  return item(z, "line", ZV_LINE, 4, a);
}

int zorva_textn(zorva* z, int x, int y, const char* text, size_t length) {
  const int a[] = {x, y};
  return string_item(z, "text", ZV_TEXT, 2, a, text, length);
}

int zorva_text(zorva* z, int x, int y, const char* text) {
  return zorva_textn(z, x, y, text, text ? strlen(text) : 0);
}

int zorva_circle(zorva* z, int x, int y, int radius) {
  const int a[] = {x, y, radius};
  return item(z, "circle", ZV_CIRCLE, 3, a);
}

int zorva_arc(zorva* z, int x, int y, int radius, int begin_degrees, int end_degrees) {
  const int a[] = {x, y, radius, begin_degrees, end_degrees};
  return item(z, "arc", ZV_ARC, 5, a);
}

int zorva_polyline(zorva* z, int x, int y) {
  const int a[] = {x, y};
  return item(z, "polyline", ZV_POLYLINE, 2, a);
}

int zorva_polyvertex(zorva* z, int x, int y) {
  const int a[] = {x, y};
  return item(z, "polyvertex", ZV_POLYVERTEX, 2, a);
}

int zorva_line_color(zorva* z, int red, int green, int blue) {
  const int a[] = {red, green, blue};
  return item(z, "line colour", ZV_LINE_COLOR, 3, a);
}

int zorva_text_color(zorva* z, int red, int green, int blue) {
  const int a[] = {red, green, blue};
  return item(z, "text colour", ZV_TEXT_COLOR, 3, a);
}

int zorva_line_width(zorva* z, int width) { return item(z, "line width", ZV_LINE_WIDTH, 1, &width); }
int zorva_line_type(zorva* z, int type) { return item(z, "line type", ZV_LINE_TYPE, 1, &type); }
int zorva_text_height(zorva* z, int height) { return item(z, "text height", ZV_TEXT_HEIGHT, 1, &height); }
int zorva_text_align(zorva* z, int align) { return item(z, "text align", ZV_TEXT_ALIGN, 1, &align); }

int zorva_fontn(zorva* z, const char* face, size_t length) {
  return string_item(z, "font", ZV_TEXT_FONT, 0, NULL, face, length);
}

int zorva_font(zorva* z, const char* face) { return zorva_fontn(z, face, face ? strlen(face) : 0); }
