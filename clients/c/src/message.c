/* The handle's message and the fixed texts of the status codes. */
#include <stdarg.h>
#include <stdio.h>

#include "handle.h"

static int vreport(zorva* z, int status, const char* format, va_list args) {
  vsnprintf(z->message, sizeof z->message, format, args);
  return status;
}

int zv_report(zorva* z, int status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vreport(z, status, format, args);
  va_end(args);
  return status;
}

int zv_fail(zorva* z, int status, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vreport(z, status, format, args);
  va_end(args);
  z->failed = status;
  return status;
}

const char* zorva_errmsg(const zorva* z) {
  if (!z) return "out of memory";
  return z->message[0] ? z->message : "no error";
}

const char* zorva_strerror(int status) {
  switch (status) {
    case ZORVA_OK:
      return "success";
    case ZORVA_CUT:
      return "the string was cut to the longest a display keeps";
    case ZORVA_EINVAL:
      return "invalid argument";
    case ZORVA_EFILE:
      return "the command file could not be created";
    case ZORVA_ENOTFOUND:
      return "the display program could not be found or run";
    case ZORVA_ELAUNCH:
      return "the display could not start";
    case ZORVA_EWRITE:
      return "an item could not be written whole";
    case ZORVA_ECLOSED:
      return "the display has closed";
    case ZORVA_EFAILED:
      return "the handle failed earlier";
    case ZORVA_ENOMEM:
      return "out of memory";
    default:
      return "unknown status";
  }
}
