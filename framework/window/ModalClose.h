#pragma once
// The window manager's close request for a window while a modal dialog or
// box is up. Qt drops such a request (the window is blocked by the modal
// one), so the user could not close the window until the box went. The
// filter installed here sees the request first, on X11: it dismisses the
// modal dialogs and boxes, innermost first, as a termination signal does
// (TTerminationSignals::DismissModalBoxes), and posts a close request
// (WM_CLOSE) to the window, which the loop then handles as any other.

class TWindow;

// Installs the filter once an application (it goes with the application);
// does nothing on other platforms.
void WatchCloseWhileModal();
