#pragma once
// The framework's entry: records the command line for the application
// object and runs the program's entry function under the last guard. An
// exception that leaves the entry function is reported with an OK button
// ("Unhandled Exception") and the process status becomes -1; but when no
// display could be reached (TXNoScreen, framework/ScreenChoice.h) its message
// goes to standard error as one line, "program: message", and the status is 1.

// Runs appMain(argc, argv) and returns its status (or -1 after a report, 1
// without a display).
int RunEntry(int argc, char** argv, int (*appMain)(int argc, char** argv));

// The arguments of the running RunEntry (0 and null outside it).
int EntryArgc();
char** EntryArgv();
