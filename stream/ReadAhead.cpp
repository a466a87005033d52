#include "stream/ReadAhead.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

ssize_t ReadAhead::Read(char* dst, std::size_t n) {
  n = std::min(n, kBlock);
  if (end - at < n) {
    if (!block) block = std::make_unique<char[]>(kBlock);
    std::memmove(block.get(), block.get() + at, end - at);
    end -= at;
    at = 0;
    while (end < n) {
      const ssize_t got = ::read(fd, block.get() + end, kBlock - end);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && end == 0) return -1;
      if (got <= 0) break;  // the end of the file, or an error after some bytes
      end += static_cast<std::size_t>(got);
    }
  }
  const std::size_t give = std::min(n, end - at);
  std::memcpy(dst, block.get() + at, give);
  at += give;
  return static_cast<ssize_t>(give);
}
