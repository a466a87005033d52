#include "framework/application/X11ConnectionLoss.h"

#include <X11/Xlib.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QtGlobal>
#include <atomic>
#include <cstdlib>

#include "framework/application/ExitHook.h"

namespace {

std::atomic<xcb_connection_t*> watched{nullptr};
std::atomic<bool> lost{false};

int onIoError(Display*) { OnX11ConnectionLost(); }

}  // namespace

void HandleX11ConnectionLoss(xcb_connection_t* connection) {
  watched.store(connection);
  XSetIOErrorHandler(onIoError);
}

void OnX11ConnectionLost() {
  if (lost.exchange(true)) {
    // Met again while exiting: what must happen still happens, then the
    // process ends without going through the exit again.
    RunExitHook();
    ::_exit(1);
  }
  xcb_connection_t* connection = watched.load();
  const int code = connection ? xcb_connection_has_error(connection) : 0;
  qWarning("The X11 connection broke (error %d). Did the X11 server die?", code);
  std::exit(1);
}
