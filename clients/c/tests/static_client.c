/* A program linked with the static libzorva, for the program search test:
 *
 *   static_client FILE
 *
 * opens a display on the new FILE with the default search for zorvad and
 * exits 0, or prints the library's message and exits 1. */
#include <stdio.h>
#include <zorva/zorva.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: static_client FILE\n");
    return 2;
  }
  zorva* z;
  const int rc = zorva_open(&z, argv[1], NULL);
  if (rc != ZORVA_OK) fprintf(stderr, "%s\n", zorva_errmsg(z));
  zorva_close(z, ZORVA_LEAVE_OPEN);
  return rc == ZORVA_OK ? 0 : 1;
}
