#pragma once
// What happens when the Wayland compositor goes away. Qt's Wayland client
// says so in one line ("The Wayland connection broke...") and ends the
// process with _exit(1), which skips atexit handlers, so the exit hook
// (framework/application/ExitHook.h) would never run. The message handler
// set here runs the hook when that line comes, then lets Qt say it and
// exit as before: the status stays 1.

// Installs the handler in front of the current one. Call once the
// application object is made, on a Wayland platform only.
void HandleWaylandConnectionLoss();

// Whether a message of Qt's is the one it says before it ends the process
// for a broken Wayland connection.
bool IsWaylandConnectionLoss(const char* message);
