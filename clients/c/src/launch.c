/* Starting a display: run `zorvad -d FILE`, which returns once the
   display's window is up, and pass on its failure in words. */
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
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

/* How often the launcher's end is looked for while its standard error
   stays open, in milliseconds. The launcher closes it as it exits (its
   display's is /dev/null), so this matters only when a process it left
   behind still holds it. */
enum { CHECK_MS = 20 };

/* After the launcher's end, at most this much more is read: what it wrote
   before it ended is in the pipe, which holds no more than this. */
enum { DRAIN_MAX = 1 << 16 };

/* Waits for the launcher `pid` to end: 1 with its status in *status, -1 when
   its status is gone (the process ignores SIGCHLD, so the system reaped
   it), 0 while it runs (only with WNOHANG in `flags`). */
static int reap(pid_t pid, int* status, int flags) {
  pid_t r;
  do r = waitpid(pid, status, flags);
  while (r < 0 && errno == EINTR);
  if (r == pid) return 1;
  return r < 0 ? -1 : 0;
}

/* Reads what the launcher prints on `fd` until it closes its end, or until
   the launcher has ended and what it wrote before has been read: a process
   the launcher left behind may hold the pipe open for any time. Keeps the
   first OUTPUT_MAX - 1 bytes as one line of text in `out` and returns
   reap's result for the launcher. */
static int wait_launcher(pid_t pid, int fd, char* out, int* status) {
  size_t kept = 0, after_end = 0;
  int ended = 0;
  char buf[512];
  while (after_end < DRAIN_MAX) {
    struct pollfd p = {.fd = fd, .events = POLLIN};
    const int ready = poll(&p, 1, ended ? 0 : CHECK_MS);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) break;
    if (ready == 0) {
      if (ended) break; /* all it wrote is read */
      ended = reap(pid, status, WNOHANG);
      continue;
    }
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break; /* every writer closed its end */
    if (ended) after_end += (size_t)n;
    for (ssize_t i = 0; i < n && kept < OUTPUT_MAX - 1; ++i) out[kept++] = buf[i] == '\n' ? ' ' : buf[i];
  }
  while (kept > 0 && out[kept - 1] == ' ') --kept;
  out[kept] = '\0';
  return ended ? ended : reap(pid, status, 0);
}

/* The file name as the launcher's argument: a relative name that begins
   with "-" gets "./" in front, so that it cannot read as an option. NULL
   when out of memory; free it unless it is `file`. */
static char* launcher_argument(const char* file) {
  if (file[0] != '-') return (char*)file;
  char* arg = malloc(strlen(file) + 3);
  if (arg) {
    memcpy(arg, "./", 2);
    strcpy(arg + 2, file);
  }
  return arg;
}

static int run(zorva* z, const char* program, int search_path, const char* file) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return zv_report(z, ZORVA_ELAUNCH, "cannot start %s: no pipe: %m", program);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, out[1], 2);
  char* const argv[] = {(char*)program, (char*)"-d", (char*)file, NULL};
  pid_t pid;
  const int spawned = search_path ? posix_spawnp(&pid, program, &actions, NULL, argv, environ)
                                  : posix_spawn(&pid, program, &actions, NULL, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    errno = spawned;
    return zv_report(z, ZORVA_ENOTFOUND, "cannot run %s: %m", program);
  }

  char output[OUTPUT_MAX];
  int status = 0;
  const int ended = wait_launcher(pid, out[0], output, &status);
  close(out[0]);
  /* SIGCHLD ignored: the status is gone. A launcher that printed nothing
     found its display ready. */
  if (ended < 0) {
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

int zv_launch(zorva* z, const char* program, const char* file) {
  char found[PATH_MAX + 16], tried[3 * PATH_MAX];
  const int named = program != NULL;
  if (!named) {
    program = zv_find_zorvad(found, sizeof found, tried, sizeof tried);
    if (!program)
      return zv_report(z, ZORVA_ENOTFOUND,
                       "zorvad was not found (looked at %s); name it in zorva_options or in ZORVAD", tried);
  }
  char* arg = launcher_argument(file);
  if (!arg) return zv_report(z, ZORVA_ENOMEM, "out of memory");
  /* A program the caller or $ZORVAD names may be a name to look up on PATH;
     a found one is a path already. */
  const int rc = run(z, program, named || program != found, arg);
  if (arg != file) free(arg);
  return rc;
}
