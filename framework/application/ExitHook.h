#pragma once
// One clean-up that must still happen when the process ends without its
// orderly close: when the window system calls exit() from inside its event
// dispatch (the display connection broke), or when a second termination
// signal ends the process at once. No destructor of a window or application
// runs then, so the hook holds everything it needs itself.
//
// The hook runs at most once. It may run inside a signal handler, so it must
// be async-signal-safe: plain system calls on data that exists already, no
// allocation, no locks, no stdio.

using ExitHookFunction = void (*)(void* context);

// Sets the hook, replacing any other. The first call registers the runner
// with atexit(), so a later exit() runs the hook.
void SetExitHook(ExitHookFunction function, void* context);

// Removes the hook if it is still the one set with this context: an owner
// that is about to go clears its own hook and nobody else's.
void ClearExitHook(void* context);

// Runs the hook now, if one is set, and removes it. Async-signal-safe.
void RunExitHook();
