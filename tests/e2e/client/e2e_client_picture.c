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

#include "clients/c/tests/shared_picture.h"

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
  draw_shared_picture(z);
  const int failed = zorva_failed(z);
  if (failed) fprintf(stderr, "e2e_client_picture: %s\n", zorva_errmsg(z));
  zorva_close(z, ZORVA_LEAVE_OPEN);
  return failed ? 1 : 0;
}
