/* A program built against an installed libzorva, as a user would build it:
 *
 *   draw FILE            writes the shared picture into the new FILE
 *   draw --launch FILE   starts a display on FILE, draws, closes it again
 */
#include <stdio.h>
#include <string.h>
#include <zorva/zorva.h>

#include "../shared_picture.h"

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
  draw_shared_picture(z);
  const int failed = zorva_failed(z);
  if (failed) fprintf(stderr, "draw: %s\n", zorva_errmsg(z));
  zorva_close(z, launch ? ZORVA_EXIT : ZORVA_LEAVE_OPEN);
  return failed ? 1 : 0;
}
