#pragma once
// The program's entry function: fixes the command file and the mode, then
// runs the launcher or the display, and returns the process's exit status.
// Until the display window first appears, every box also writes its text on
// standard error and first signals readiness to a waiting launcher; a display
// that reaches no screen sends the launcher its reason instead.

// The readiness descriptor handed over by a launcher (-1 for none); set by
// main() before AppMain runs, written once the display window is shown.
extern int readinessFd;

int AppMain(int argc, char** argv);
