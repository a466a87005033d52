#pragma once
// The display's descriptors: the X or Wayland connection, the command file
// and its folder, the file watch, the signal pipe and Qt's own wake-up
// pipes. A soft limit too low for them leaves the window system's library
// stuck, so the display raises its soft limit to the hard one at start.

#include <string>

// The fewest descriptors the display runs with.
inline constexpr long MinDescriptors = 64;

// Raises the soft limit of open files to the hard limit. Returns an empty
// string when the limit now allows at least MinDescriptors, else one line
// saying what the limit is.
std::string RaiseDescriptorLimit();
