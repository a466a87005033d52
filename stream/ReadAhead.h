#pragma once
// Reads of a regular file served from blocks read ahead: each Read returns
// the bytes a read(2) of the same size at the same point would (a regular
// file's read is short only at its end), at one system call a block
// rather than one a read. Bytes the file gains later are read when the
// blocks run short.

#include <sys/types.h>

#include <cstddef>
#include <memory>

class ReadAhead {
public:
  static constexpr std::size_t kBlock = 256 * 1024;

  // fd: open for reading, not owned; read from its current offset on.
  explicit ReadAhead(int fd) : fd(fd) {}

  // As ::read(fd, dst, n): the bytes read (fewer than n only at the end of
  // the file), 0 at its end, -1 with errno on an error before any byte.
  ssize_t Read(char* dst, std::size_t n);
  // Bytes read from the file but not yet returned.
  std::size_t Buffered() const { return end - at; }
  // Forgets them (the file was rewritten; its offset was moved).
  void Drop() { at = end = 0; }

private:
  int fd;
  std::unique_ptr<char[]> block;
  std::size_t at = 0, end = 0;  // the unreturned bytes: block[at, end)
};
