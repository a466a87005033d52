#pragma once
// The program's command line: `zorvad [-d] [file]`.

// The command file when none is given.
inline constexpr char DefaultCommandFile[] = "c:/zorva.tmp";

enum class RunMode {
  Display,   // show the command file in a window
  Launcher,  // start a detached display on the file and return once it is ready
  Usage,     // a form the program does not accept
};

struct CommandLine {
  RunMode mode;
  // The command file; null for Usage. Points into argv or at
  // DefaultCommandFile, so it lives as long as they do.
  const char* file;
};

// The accepted forms, argc counting the program itself:
//   1                          display on DefaultCommandFile
//   2, argv[1] not "-d..."     display on argv[1]
//   3, argv[1] "-d..."         launcher on argv[2]
// The switch is any first argument whose first two characters are "-d"
// (case-sensitive): -d, -dx and -display are the switch, -D is not. Every
// other form is Usage.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The one-line usage text and the caption of its box.
inline constexpr char UsageText[] = "Usage: zorvad [-d] [file]";
inline constexpr char UsageCaption[] = "ZORVAd";

// Shows the usage box (OK button, no icon) and returns the exit status 1.
int ShowUsage();
