/* A program built against an installed libzorva, as a user would build it:
 *
 *   draw FILE            writes the shared picture into the new FILE
 *   draw --launch FILE   starts a display on FILE, draws, closes it again
 */
#include <stdio.h>
#include <string.h>
#include <zorva/zorva.h>

int main(int argc, char** argv) {
  const int launch = argc == 3 && strcmp(argv[1], "--launch") == 0;
  if (argc != 2 && !launch) {
    fprintf(stderr, "usage: draw [--launch] FILE\n");
    return 2;
  }
  zorva_options options = {launch ? 0u : ZORVA_NO_LAUNCH, NULL};
  zorva* z;
  if (zorva_open(&z, argv[argc - 1], &options) != ZORVA_OK) {
    fprintf(stderr, "draw: %s\n", zorva_errmsg(z));
    zorva_close(z, ZORVA_LEAVE_OPEN);
    return 1;
  }
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
  zorva_text(z, 200, 260, "Zorva");
  const int failed = zorva_failed(z);
  if (failed) fprintf(stderr, "draw: %s\n", zorva_errmsg(z));
  zorva_close(z, launch ? ZORVA_EXIT : ZORVA_LEAVE_OPEN);
  return failed ? 1 : 0;
}
