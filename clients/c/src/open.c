/* Opening and closing a session: the command file, made exclusively, and
   the display started on it. */
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "handle.h"

/* Makes a new command file: `file`, which must not exist, or a private
   temporary file. The descriptor appends, so each write lands at the end
   whoever else writes. */
static int create_file(zorva* z, const char* file) {
  if (file) {
    z->file = strdup(file);
    if (!z->file) return zv_fail(z, ZORVA_ENOMEM, "out of memory");
    z->fd = open(file, O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
    if (z->fd >= 0) return ZORVA_OK;
    if (errno == EEXIST)
      return zv_fail(z, ZORVA_EFILE,
                     "the command file %s exists already (a display may be following it); "
                     "choose a new name",
                     file);
    return zv_fail(z, ZORVA_EFILE, "cannot create the command file %s: %m", file);
  }
  const char* dir = getenv("TMPDIR");
  if (!dir || !*dir) dir = "/tmp";
  const size_t size = strlen(dir) + sizeof "/zorva-XXXXXX.zv";
  z->file = malloc(size);
  if (!z->file) return zv_fail(z, ZORVA_ENOMEM, "out of memory");
  snprintf(z->file, size, "%s/zorva-XXXXXX.zv", dir);
  z->fd = mkostemps(z->file, 3, O_APPEND | O_CLOEXEC);
  if (z->fd >= 0) return ZORVA_OK;
  return zv_fail(z, ZORVA_EFILE, "cannot create a command file in %s: %m", dir);
}

/* Removes the name the library made, but only while it still names that
   file. */
static void remove_own_file(zorva* z) {
  struct stat mine, named;
  if (fstat(z->fd, &mine) == 0 && stat(z->file, &named) == 0 && mine.st_dev == named.st_dev &&
      mine.st_ino == named.st_ino)
    unlink(z->file);
}

/* A failed open keeps no name: the name it tried may be another's file,
   which a caller cleaning up by zorva_file() must not remove. */
static int forget_file(zorva* z, int status) {
  free(z->file);
  z->file = NULL;
  z->failed = status;
  return status;
}

int zorva_open(zorva** handle, const char* file, const zorva_options* options) {
  if (!handle) return ZORVA_EINVAL;
  zorva* z = calloc(1, sizeof *z);
  *handle = z;
  if (!z) return ZORVA_ENOMEM;
  z->fd = -1;
  const int made = create_file(z, file);
  if (made != ZORVA_OK) return forget_file(z, made);
  if (options && (options->flags & ZORVA_NO_LAUNCH)) return ZORVA_OK;
  const int launched = zv_launch(z, options ? options->zorvad : NULL, z->file);
  if (launched != ZORVA_OK) {
    remove_own_file(z);
    return forget_file(z, launched);
  }
  return ZORVA_OK;
}

int zorva_close(zorva* z, int how) {
  if (!z) return ZORVA_OK;
  const int rc = how == ZORVA_EXIT ? zorva_exit(z) : ZORVA_OK;
  if (z->fd >= 0) close(z->fd);
  free(z->file);
  free(z);
  return rc;
}

const char* zorva_file(const zorva* z) { return z && z->file ? z->file : ""; }

int zorva_failed(const zorva* z) { return z ? z->failed : ZORVA_EINVAL; }
