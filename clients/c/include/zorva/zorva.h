#ifndef ZORVA_ZORVA_H
#define ZORVA_ZORVA_H
/*
 * libzorva: draw in a ZORVA display from C, C++ or any language that can
 * call C.
 *
 * A program does not draw itself: it appends drawing requests ("items") to a
 * command file, and a display (zorvad) follows that file and shows them.
 * zorva_open makes the file and starts a display on it; each drawing call
 * below appends one item; zorva_close ends the session.
 *
 *     zorva *z;
 *     if (zorva_open(&z, NULL, NULL) != ZORVA_OK) {
 *         fprintf(stderr, "%s\n", zorva_errmsg(z));
 *         zorva_close(z, ZORVA_LEAVE_OPEN);
 *         return 1;
 *     }
 *     zorva_start(z);
 *     zorva_line(z, 10, 10, 200, 150);
 *     zorva_close(z, ZORVA_LEAVE_OPEN);
 *
 * Coordinates are pixels of the display's client area: the origin (0, 0) is
 * its bottom-left corner, x grows to the right and y grows upward. A point
 * (x, y) lies x pixels from the left edge and y pixels above the bottom
 * edge; points outside the area are allowed and clipped.
 *
 * Arcs (zorva_arc) measure their angles in whole degrees clockwise from the
 * positive x axis, as seen with y upward: 0 is the rightmost point of the
 * circle, 90 its lowest, 180 its leftmost, 270 its highest. The arc runs
 * counter-clockwise on the screen from the begin angle to the end angle.
 * So begin 0 and end 90 draw three quarters of the circle (from the
 * rightmost point over the top and the left side down to the lowest
 * point), begin 90 and end 0 the lower-right quarter, and begin 0 and end
 * 270 the upper-right quarter. Equal angles draw the whole circle.
 *
 * Results. Every call returns a zorva_status: ZORVA_OK (0), ZORVA_CUT (1, the
 * item was written with its string shortened) or a negative error.
 * zorva_errmsg says what went wrong in words, zorva_strerror names a code.
 *
 * Failure is final. When an item cannot be written whole (an error, a short
 * write) or the display has closed, the handle is marked failed: that call
 * and every later drawing call return an error at once, and zorva_errmsg
 * keeps the first failure's message. The file is never cut back: a display
 * reads a file that shrinks from its start again.
 *
 * Threads. A handle belongs to one thread at a time: calls on the same handle
 * from two threads at once need the caller's own lock. Different handles are
 * independent and may be used from different threads at once. zorva_strerror
 * may be called from any thread. zorva_open waits for the launcher with
 * waitpid on that child only; it fails to learn the launcher's status when
 * the process ignores SIGCHLD (SIG_IGN). No call raises a signal: the command
 * file is a regular file, so a write never raises SIGPIPE.
 */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ZORVA_API __attribute__((visibility("default")))
#else
#define ZORVA_API
#endif

typedef struct zorva zorva;

typedef enum zorva_status {
  ZORVA_OK = 0,
  /* The item was written, its string cut to ZORVA_MAX_STRING bytes. */
  ZORVA_CUT = 1,
  /* A null handle or string, or a NUL byte inside a counted string. Nothing
     was written; the handle stays usable. */
  ZORVA_EINVAL = -1,
  /* The command file could not be created (it exists, or its folder is
     missing or not writable). */
  ZORVA_EFILE = -2,
  /* No zorvad program was found, or it could not be run. */
  ZORVA_ENOTFOUND = -3,
  /* The launcher ran and reported that the display could not start. */
  ZORVA_ELAUNCH = -4,
  /* An item could not be written whole. The handle is failed. */
  ZORVA_EWRITE = -5,
  /* The display has closed: the command file was removed. The handle is
     failed. */
  ZORVA_ECLOSED = -6,
  /* The handle failed earlier (see zorva_errmsg); nothing was written. */
  ZORVA_EFAILED = -7,
  /* Out of memory. */
  ZORVA_ENOMEM = -8
} zorva_status;

/* The longest text or font name a display keeps, in bytes. */
#define ZORVA_MAX_STRING 255

enum zorva_line_type { ZORVA_SOLID = 1, ZORVA_DASHED = 2, ZORVA_DOTTED = 3, ZORVA_DASH_DOT = 4 };
enum zorva_align { ZORVA_LEFT = 1, ZORVA_CENTER = 2, ZORVA_RIGHT = 3 };

/* Flags of zorva_options. */
/* Only create the file: a display started elsewhere follows it. */
#define ZORVA_NO_LAUNCH 1u

typedef struct zorva_options {
  unsigned flags;
  /* The zorvad program to start, a path or a name looked up on PATH. NULL:
     the environment variable ZORVAD; else, from the shared library, the
     zorvad of the prefix it is installed in (<prefix>/bin/zorvad), and in
     a program linked with the static library, the zorvad beside the
     program's executable; else the first on PATH; else the zorvad in the
     bin folder of the prefix the library was built for. */
  const char* zorvad;
} zorva_options;

/*
 * Creates the command file and starts a display on it with `zorvad -d FILE`,
 * which returns once the display's window is up.
 *
 * `file`: the command file to create; it must not exist yet. NULL makes a
 * private file (mode 0600) named zorva-XXXXXX.zv in $TMPDIR or /tmp. A
 * relative name that begins with "-" is handed to the launcher as
 * "./name", so that it cannot read as an option; zorva_file still returns
 * it as given.
 * `options`: NULL for the defaults.
 *
 * *handle receives a handle also when the call fails (NULL only when not
 * even the handle could be allocated: ZORVA_ENOMEM). zorva_errmsg(*handle)
 * then says what went wrong (for a launcher failure its exit status and the
 * reason it printed), zorva_file(*handle) is "" (the name tried may be
 * someone else's file: never remove it), and zorva_close(*handle, ...)
 * frees it. A file the call created is removed again when the display could
 * not be started.
 *
 * Blocks until the launcher returns: normally well under a second. A display
 * that is not ready within 30 seconds keeps the launcher, and so this call,
 * waiting until that display ends. The launcher's reason is what it wrote on
 * its standard error before it ended: a process it left behind holding that
 * stream open does not keep this call waiting.
 */
ZORVA_API int zorva_open(zorva** handle, const char* file, const zorva_options* options);

/* What to do with the display at zorva_close. */
#define ZORVA_LEAVE_OPEN 0 /* the picture stays until the user closes it */
#define ZORVA_EXIT 1       /* write the exit item: the display closes */

/*
 * Ends the session and frees the handle (NULL is allowed). With ZORVA_EXIT
 * the exit item is written first and its result returned (ZORVA_EFAILED for
 * a failed handle); with ZORVA_LEAVE_OPEN the result is ZORVA_OK. The
 * command file is left to the display, which removes it when it closes.
 */
ZORVA_API int zorva_close(zorva* handle, int how);

/* The command file's name as zorva_open was given it (or the private name
   it made); "" after every failed zorva_open and for NULL. Valid until
   zorva_close. */
ZORVA_API const char* zorva_file(const zorva* handle);

/* 0 while the handle works, else the status that failed it for good (like
   ferror for a FILE): a program may draw without checking each call and
   look once at the end. */
ZORVA_API int zorva_failed(const zorva* handle);

/* What the last failed call on this handle did wrong, or the failure that
   marked it failed; "no error" when none failed. NULL gives "out of memory"
   (zorva_open could not allocate a handle). Valid until the next call on the
   handle. */
ZORVA_API const char* zorva_errmsg(const zorva* handle);

/* A fixed description of a zorva_status. */
ZORVA_API const char* zorva_strerror(int status);

/* Control items. */
ZORVA_API int zorva_start(zorva* z); /* a new picture: empty, white lines, white 12-pixel Arial text */
ZORVA_API int zorva_exit(zorva* z);  /* close the display */
ZORVA_API int zorva_clear(zorva* z); /* empty the picture, keeping the current attributes */

/* Drawing items, in the current attributes. */
ZORVA_API int zorva_line(zorva* z, int x1, int y1, int x2, int y2);
/* (x, y) is the top of the text's character cell, which extends downward
   from it; its alignment says where x lies. */
ZORVA_API int zorva_text(zorva* z, int x, int y, const char* text);
/* The same with a counted string, which must not hold a NUL byte. */
ZORVA_API int zorva_textn(zorva* z, int x, int y, const char* text, size_t length);
ZORVA_API int zorva_circle(zorva* z, int x, int y, int radius);
/* Part of the circle about (x, y): counter-clockwise on the screen from the
   begin angle to the end angle, both in whole degrees measured clockwise
   from the positive x axis (see the top of this file: 0 to 90 draws three
   quarters); equal angles draw the whole circle. */
ZORVA_API int zorva_arc(zorva* z, int x, int y, int radius, int begin_degrees, int end_degrees);
ZORVA_API int zorva_polyline(zorva* z, int x, int y);   /* first point: draws nothing */
ZORVA_API int zorva_polyvertex(zorva* z, int x, int y); /* line from the previous point */

/* Attribute items: they apply to the items that follow. */
ZORVA_API int zorva_line_color(zorva* z, int red, int green, int blue); /* each 0 to 255 */
ZORVA_API int zorva_text_color(zorva* z, int red, int green, int blue);
ZORVA_API int zorva_line_width(zorva* z, int width);
ZORVA_API int zorva_line_type(zorva* z, int type);     /* a zorva_line_type */
ZORVA_API int zorva_text_height(zorva* z, int height); /* character cell height in pixels */
ZORVA_API int zorva_font(zorva* z, const char* face);
ZORVA_API int zorva_fontn(zorva* z, const char* face, size_t length);
ZORVA_API int zorva_text_align(zorva* z, int align); /* a zorva_align */

/*
 * Strings (zorva_text, zorva_font and their counted forms) longer than
 * ZORVA_MAX_STRING bytes are cut and the call returns ZORVA_CUT. A string
 * that is valid UTF-8 is cut before the character that would cross the
 * limit; any other string is cut at the limit, since the display shows each
 * of its bytes as one character.
 */

#ifdef __cplusplus
}
#endif

#endif
