/* The picture every client test draws, from C and from Python alike (the
 * Python tests write the same items): one item of each drawing kind after a
 * start item. Returns the result of the last call. */
#ifndef ZORVA_TESTS_SHARED_PICTURE_H
#define ZORVA_TESTS_SHARED_PICTURE_H

#include <zorva/zorva.h>

static inline int draw_shared_picture(zorva* z) {
  zorva_start(z);
  zorva_line_color(z, 0, 255, 0);
  zorva_line(z, 10, 10, 200, 150);
  zorva_line_width(z, 3);
  zorva_circle(z, 150, 100, 40);
  zorva_line_width(z, 1);
  zorva_line_type(z, ZORVA_DASHED);
  zorva_arc(z, 300, 100, 50, 0, 135);
  zorva_line_type(z, ZORVA_SOLID);
  zorva_line_color(z, 255, 128, 0);
  zorva_polyline(z, 50, 200);
  zorva_polyvertex(z, 100, 250);
  zorva_polyvertex(z, 150, 200);
  zorva_text_color(z, 255, 255, 255);
  zorva_font(z, "DejaVu Sans");
  zorva_text_height(z, 20);
  zorva_text_align(z, ZORVA_CENTER);
  return zorva_text(z, 200, 260, "Zorva");
}

#endif
