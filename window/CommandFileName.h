#pragma once

// The name of the command file. Null until the entry function sets it, once,
// before any window exists; it points into the argument vector or at the
// default name, both of which live until the process ends. The display
// window opens the file by this name; when the window closes, the
// application deletes the name while it still names the file the window
// opened (stream/CommandFile.h).
extern const char* pfile;
