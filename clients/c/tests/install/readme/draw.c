/* The program the README's install section builds against a prefix: it
 * starts a display through the library (which finds zorvad in the
 * library's own prefix), draws, prints "drew FILE" and closes the display
 * with the exit item. */
#include <stdio.h>
#include <zorva/zorva.h>

int main(void) {
  zorva* z;
  if (zorva_open(&z, NULL, NULL) != ZORVA_OK) {
    fprintf(stderr, "draw: %s\n", zorva_errmsg(z));
    zorva_close(z, ZORVA_LEAVE_OPEN);
    return 1;
  }
  zorva_start(z);
  zorva_line_color(z, 0, 255, 0);
  zorva_line(z, 10, 10, 200, 150);
  zorva_arc(z, 150, 100, 40, 0, 90);
  zorva_text(z, 20, 180, "from C");
  printf("drew %s\n", zorva_file(z));
  const int failed = zorva_failed(z);
  return zorva_close(z, ZORVA_EXIT) == ZORVA_OK && !failed ? 0 : 1;
}
