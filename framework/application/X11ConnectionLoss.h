#pragma once
// What happens when the X server goes away. Qt finds it in one of two
// places: its event reading says so in one line and exits; but when an Xlib
// call finds it first, Qt's Xlib handler says so and hands over to Xlib's
// own, which adds two lines of its own, and the process may meet the
// broken connection again on its way out. The handler set here says the
// same one line as the event reading and exits with status 1, so the exit
// hook (framework/application/ExitHook.h) runs either way; met again on the
// way out, it runs the hook and ends the process at once.

struct xcb_connection_t;

// Puts the handler in place of Qt's, for the X connection `connection`
// (whose error code the line gives). Call after the application object is
// made, on the xcb platform only.
void HandleX11ConnectionLoss(xcb_connection_t* connection);

// The handler itself (for tests): says the line, exits with status 1; does
// not return.
[[noreturn]] void OnX11ConnectionLost();
