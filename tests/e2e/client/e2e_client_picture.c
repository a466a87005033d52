/* Draws the picture that the end-to-end tests share, through a display that
 * the client library starts (the zorvad of the library's own prefix), and
 * leaves the display open.
 *
 *   e2e_client_picture FILE GO
 *
 * FILE must not exist yet. Once the display is up the program waits (30 s
 * at most) until the file GO exists, then draws: the test holds the display
 * meanwhile, so that it reads the whole picture in one step, as
 * zorva-render does.
 */
#include <stdio.h>
#include <unistd.h>
#include <zorva/zorva.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: e2e_client_picture FILE GO\n");
    return 2;
  }
  zorva* z;
  if (zorva_open(&z, argv[1], NULL) != ZORVA_OK) {
    fprintf(stderr, "e2e_client_picture: %s\n", zorva_errmsg(z));
    zorva_close(z, ZORVA_LEAVE_OPEN);
    return 1;
  }
  for (int i = 0; i < 300 && access(argv[2], F_OK) != 0; ++i) usleep(100000);
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
  if (failed) fprintf(stderr, "e2e_client_picture: %s\n", zorva_errmsg(z));
  zorva_close(z, ZORVA_LEAVE_OPEN);
  return failed ? 1 : 0;
}
