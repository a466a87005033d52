#pragma once
// The command file as the display owns it, from its opening to the removal
// of its name.
//
// Opening never blocks: a FIFO (a named pipe, or a pipe reached through
// /dev/fd) with no writer is opened at once and followed like a growing
// file. Only a regular file or a FIFO is taken; a directory, a device or a
// socket is refused as a file that cannot be opened, and is never opened at
// all (opening some devices has effects).
//
// The display removes the command file when it closes, but only the file it
// opened: the file's device and inode are remembered, its directory is held
// open (O_PATH), and the name is removed through that directory only while
// it still names the same file. A symbolic link given as the name is
// removed itself, never its target. Each display holds a shared lock
// (flock) on the file, and a name is removed only when an exclusive lock
// can be had at once: while another display follows the file, it stays,
// and the last display to close removes it.

#include <sys/types.h>

#include <atomic>
#include <string>

// The outcome of opening a name for reading.
struct CommandInput {
  int fd = -1;                    // open for reading, non-blocking; -1 on failure
  int error = 0;                  // the system's error number of a failed open
  const char* refused = nullptr;  // "a directory", "a device", "a socket": refused kinds
  bool fifo = false;              // a FIFO or pipe, not a regular file

  // Why the name could not be opened: the system's text for the error, or
  // "<kind>, not a regular file or a FIFO". Empty when it was opened.
  std::string Problem() const;
};

// Opens `name`, relative to the directory `dirFd` (AT_FDCWD: the current
// directory), as the display does; the caller owns the descriptor.
CommandInput OpenCommandInput(int dirFd, const char* name);

class CommandFile {
public:
  CommandFile() = default;
  // Closes the file and the directory.
  ~CommandFile();
  CommandFile(const CommandFile&) = delete;
  CommandFile& operator=(const CommandFile&) = delete;

  // Opens `name` (null is a missing file) and takes the shared lock. False
  // when it cannot be opened or is refused; Input() says why.
  bool Open(const char* name);
  // The open file, or -1.
  int Descriptor() const { return input.fd; }
  const CommandInput& Input() const { return input; }

  // Removes the name the file was opened by, if it still names that file
  // and no other display holds its lock; at most once. Returns whether the
  // name was removed. Async-signal-safe: system calls on what Open kept.
  bool RemoveIfSame();

  // Releases the lock and closes the file and its directory.
  void Close();

  // RemoveIfSame of the CommandFile `file` points to, for an exit hook.
  static void RemoveAtExit(void* file);

private:
  CommandInput input;
  int dirFd = -1;    // the directory of the name, O_PATH
  std::string base;  // the last component of the name, in that directory
  dev_t device = 0;
  ino_t inode = 0;
  std::atomic<bool> removed{false};
};
