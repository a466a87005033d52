/* Writing one item. Each item goes out in one write on the O_APPEND
   descriptor, so items from several writers never interleave and a display
   never sees part of an item followed by another item's bytes. */
#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "handle.h"

int zv_emit(zorva* z, const char* kind, const char* bytes, size_t size) {
  if (z->failed) return ZORVA_EFAILED;
  /* A display that closes removes its command file: a link count of 0 means
     nobody will ever read what is written here. */
  struct stat st;
  if (fstat(z->fd, &st) == 0 && st.st_nlink == 0)
    return zv_fail(z, ZORVA_ECLOSED,
                   "the display has closed (it removed the command file %s); the %s item was not "
                   "written",
                   z->file, kind);
  ssize_t n;
  do n = write(z->fd, bytes, size);
  while (n < 0 && errno == EINTR);
  if (n < 0) return zv_fail(z, ZORVA_EWRITE, "writing a %s item to %s: %m", kind, z->file);
  /* A part of an item is in the file now. It stays: cutting the file back
     would make a display read the whole file again from its start. */
  if ((size_t)n != size)
    return zv_fail(z, ZORVA_EWRITE,
                   "writing a %s item to %s: only %zd of its %zu bytes were written (is the disk "
                   "full?)",
                   kind, z->file, n, size);
  return ZORVA_OK;
}
