#pragma once
// Program-wide state of the entry function.

// The name of the command file. Null until the entry function sets it, once,
// before any window exists; it points into the argument vector or at the
// default name, both of which live until the process ends.
extern const char* pfile;
