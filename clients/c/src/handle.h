#ifndef ZORVA_HANDLE_H
#define ZORVA_HANDLE_H
/* The handle behind the public zorva type, and the library's inner calls.
   Nothing here is exported from the shared library. */

#include <stddef.h>

#include "zorva/zorva.h"

struct zorva {
  int fd;     /* the command file, O_APPEND and close-on-exec; -1 when none */
  int failed; /* 0, or the status that failed the handle for good */
  char* file; /* the command file's name (owned); NULL when none was chosen */
  char message[1024];
};

/* Sets the handle's message from a printf format and returns `status`. */
int zv_report(zorva* z, int status, const char* format, ...) __attribute__((format(printf, 3, 4)));

/* As zv_report, and marks the handle failed for good. */
int zv_fail(zorva* z, int status, const char* format, ...) __attribute__((format(printf, 3, 4)));

/* Writes one whole item (`kind` names it in messages) in a single write. */
int zv_emit(zorva* z, const char* kind, const char* bytes, size_t size);

/* Starts `program -d file` and waits for it; ZORVA_OK once the display is
   up, else the error, with the handle's message set. `program` NULL: the
   default search (see zorva_options). */
int zv_launch(zorva* z, const char* program, const char* file);

/* The zorvad to run when the caller named none (the order is zorva.h's):
   $ZORVAD, or a runnable path written into `buf`. NULL when none was
   found; `tried` then lists where the search looked. */
const char* zv_find_zorvad(char* buf, size_t size, char* tried, size_t tried_size);

/* How many of the `size` bytes at `s` a display keeps (see zorva.h). */
size_t zv_kept_length(const char* s, size_t size);

/* Whether the `size` bytes at `s` are strict UTF-8: no overlong forms, no
   surrogates, nothing above U+10FFFF, no sequence cut off at the end. */
int zv_is_utf8(const unsigned char* s, size_t size);

#endif
