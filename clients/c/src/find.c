/* Finding the zorvad to run when the caller names none. */
#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "handle.h"

/* Whether `path` is a regular file this process may run. */
static int runnable(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISREG(st.st_mode) && access(path, X_OK) == 0;
}

/* Where this code's own program candidate lies: for a shared library the
   bin folder of its prefix, for a program linked with the static library
   the folder of the executable itself. Empty when it cannot be told. */
static void own_candidate(char* out, size_t size) {
  out[0] = '\0';
  Dl_info info;
  struct link_map* map = NULL;
  char path[PATH_MAX];
  if (!dladdr1((void*)&zv_find_zorvad, &info, (void**)&map, RTLD_DL_LINKMAP)) return;
  /* The main program's entry has an empty name: this code was linked into
     the program, and its folder is the executable's. */
  const int in_program = !(map && map->l_name && map->l_name[0]);
  if (!in_program) {
    if (!realpath(map->l_name, path)) return;
  } else {
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return;
    path[n] = '\0';
  }
  char* slash = strrchr(path, '/');
  if (!slash) return;
  *slash = '\0';
  /* ZORVA_LIB_TO_BIN: the library folder's way to the program folder, the
     same in the build tree and in every installed prefix. */
  const int n = in_program ? snprintf(out, size, "%s/zorvad", path)
                           : snprintf(out, size, "%s/%s/zorvad", path, ZORVA_LIB_TO_BIN);
  /* A name cut short would be another file's: none then. */
  if (n < 0 || (size_t)n >= size) out[0] = '\0';
}

/* The first runnable zorvad in the folders of $PATH, into `out`. An empty
   entry is the current folder, as for execvp. */
static int on_path(char* out, size_t size) {
  const char* path = getenv("PATH");
  if (!path) path = "/bin:/usr/bin";
  for (const char* p = path;; ++p) {
    const char* end = strchr(p, ':');
    const size_t len = end ? (size_t)(end - p) : strlen(p);
    const int n = len ? snprintf(out, size, "%.*s/zorvad", (int)len, p) : snprintf(out, size, "zorvad");
    if (n > 0 && (size_t)n < size && runnable(out)) return 1;
    if (!end) return 0;
    p = end;
  }
}

const char* zv_find_zorvad(char* buf, size_t size, char* tried, size_t tried_size) {
  const char* env = getenv("ZORVAD");
  if (env && *env) return env;
  char own[PATH_MAX + 16];
  own_candidate(own, sizeof own);
  if (own[0] && runnable(own)) {
    snprintf(buf, size, "%s", own);
    return buf;
  }
  if (on_path(buf, size)) return buf;
  /* ZORVA_INSTALL_BINDIR: the program folder of the prefix the library was
     built for, the last resort of a program that was moved away from it. */
  snprintf(buf, size, "%s/zorvad", ZORVA_INSTALL_BINDIR);
  if (runnable(buf)) return buf;
  if (own[0])
    snprintf(tried, tried_size, "%s, on PATH, %s", own, buf);
  else
    snprintf(tried, tried_size, "on PATH, %s", buf);
  return NULL;
}
