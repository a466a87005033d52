/* Starting a display: find zorvad, run `zorvad -d FILE`, which returns once
   the display's window is up, and pass on its failure in words. */
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <link.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include "handle.h"

extern char** environ;

/* The launcher's standard error carries one line of reason; keep a little
   more in case it says more. */
enum { OUTPUT_MAX = 2048 };

/* The folder of the file this code was loaded from: the shared library, or
   the program it was linked into. Empty when it cannot be told. */
static void own_folder(char* dir, size_t size) {
  dir[0] = '\0';
  Dl_info info;
  struct link_map* map = NULL;
  char path[PATH_MAX];
  if (!dladdr1((void*)&zv_launch, &info, (void**)&map, RTLD_DL_LINKMAP)) return;
  /* The main program's entry has an empty name: ask the kernel for it. */
  if (map && map->l_name && map->l_name[0]) {
    if (!realpath(map->l_name, path)) return;
  } else {
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return;
    path[n] = '\0';
  }
  char* slash = strrchr(path, '/');
  if (!slash) return;
  *slash = '\0';
  snprintf(dir, size, "%s", path);
}

/* The zorvad to run when the caller named none: $ZORVAD, else the one
   in the bin folder of the prefix this code is installed in, else a look-up
   on PATH. `where` receives the prefix candidate for the message when none
   is found. */
static const char* default_program(char* buf, size_t size, char* where, size_t where_size) {
  const char* env = getenv("ZORVAD");
  if (env && *env) return env;
  char dir[PATH_MAX];
  own_folder(dir, sizeof dir);
  where[0] = '\0';
  if (dir[0]) {
    /* ZORVA_LIB_TO_BIN: the library folder's way to the program folder,
       the same in the build tree and in every installed prefix. */
    snprintf(buf, size, "%s/%s/zorvad", dir, ZORVA_LIB_TO_BIN);
    if (access(buf, X_OK) == 0) return buf;
    snprintf(where, where_size, "%s", buf);
  }
  return "zorvad";
}

/* Reads everything the launcher prints until it ends, keeping the first
   OUTPUT_MAX - 1 bytes as one line of text. */
static void read_output(int fd, char* out) {
  size_t kept = 0;
  char buf[512];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t i = 0; i < n && kept < OUTPUT_MAX - 1; ++i) out[kept++] = buf[i] == '\n' ? ' ' : buf[i];
  }
  while (kept > 0 && out[kept - 1] == ' ') --kept;
  out[kept] = '\0';
}

int zv_launch(zorva* z, const char* program, const char* file) {
  char found[PATH_MAX + 16], where[PATH_MAX + 16];
  where[0] = '\0';
  if (!program) program = default_program(found, sizeof found, where, sizeof where);

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return zv_report(z, ZORVA_ELAUNCH, "cannot start %s: no pipe: %m", program);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, out[1], 2);
  char* const argv[] = {(char*)program, (char*)"-d", (char*)file, NULL};
  pid_t pid;
  const int spawned = posix_spawnp(&pid, program, &actions, NULL, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    if (where[0] && spawned == ENOENT)
      return zv_report(z, ZORVA_ENOTFOUND,
                       "zorvad was found neither at %s nor on PATH; name it in zorva_options or "
                       "in ZORVAD",
                       where);
    errno = spawned;
    return zv_report(z, ZORVA_ENOTFOUND, "cannot run %s: %m", program);
  }

  char output[OUTPUT_MAX];
  read_output(out[0], output);
  close(out[0]);
  int status = 0;
  pid_t r;
  do r = waitpid(pid, &status, 0);
  while (r < 0 && errno == EINTR);
  /* SIGCHLD ignored: the status is gone. A launcher that printed nothing
     found its display ready. */
  if (r < 0) {
    if (!output[0]) return ZORVA_OK;
    return zv_report(z, ZORVA_ELAUNCH, "%s -d %s failed: %s", program, file, output);
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ZORVA_OK;
  char how[64];
  if (WIFSIGNALED(status))
    snprintf(how, sizeof how, "was ended by signal %d", WTERMSIG(status));
  else
    snprintf(how, sizeof how, "exited with status %d", WEXITSTATUS(status));
  return zv_report(z, ZORVA_ELAUNCH, "%s -d %s %s%s%s", program, file, how, output[0] ? ": " : "", output);
}
