#include "stream/CommandReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

CommandReader::Outcome CommandReader::Read(ItemSink& sink, const std::function<bool()>& timeUp) {
  restartIfShrunk();
  for (bool first = true;; first = false) {
    if (!first && timeUp && timeUp()) return Outcome::Paused;
    ssize_t got;
    const auto want = static_cast<size_t>(BufSize - 1 - begin);
    if (ahead) {
      got = ahead->Read(buf + begin, want);
    } else {
      do {
        got = ::read(conID, buf + begin, want);
      } while (got < 0 && errno == EINTR);
    }
    if (got <= 0) return Outcome::Drained;  // end of file, no writer yet, or a read error
    // A NUL would end the text the parser sees: it is read as a blank.
    char* const end = buf + begin + got;
    for (char* p = buf + begin; (p = static_cast<char*>(std::memchr(p, '\0', static_cast<size_t>(end - p))));)
      *p++ = ' ';
    const int size = begin + static_cast<int>(got);
    buf[size] = '\0';
    const int pos = parseRead(sink, size);
    if (pos < 0) return Outcome::Stopped;
    begin = size - pos;
    std::memmove(buf, buf + pos, static_cast<size_t>(begin));
    if (begin == BufSize - 1) continueCarried();
  }
}

int CommandReader::parseRead(ItemSink& sink, int size) {
  if (!continuing) {
    zvItem item;
    return ParsePass(sink, item, buf);
  }
  const int used = reader.Read(pending, buf);
  if (!reader.Done()) return size;  // all taken; the item goes on
  continuing = false;
  // The long item is this pass's first, and the pass goes on with it as the
  // working item.
  if (!sink.TakeItem(pending)) return -1;
  const int rest = ParsePass(sink, pending, buf + used);
  return rest < 0 ? -1 : used + rest;
}

void CommandReader::continueCarried() {
  pending = zvItem();
  reader.Start();
  reader.Read(pending, buf);  // incomplete: the pass just found no item in these bytes
  begin = 0;
  continuing = true;
}

int CommandReader::ParsePass(ItemSink& sink, zvItem& item, const char* text) {
  int pos = 0;
  // zvItem::Set, inlined: this loop is the stream's hot path.
  for (int used; (used = ItemReader::ReadWhole(item, text + pos)) != 0;) {
    pos += used;
    if (!sink.TakeItem(item)) return -1;
  }
  return pos;
}

void CommandReader::ReadAheadOfRegularFile() {
  struct stat st;
  if (::fstat(conID, &st) == 0 && S_ISREG(st.st_mode)) ahead = std::make_unique<ReadAhead>(conID);
}

void CommandReader::restartIfShrunk() {
  struct stat st;
  if (::fstat(conID, &st) != 0 || !S_ISREG(st.st_mode)) return;
  off_t at = ::lseek(conID, 0, SEEK_CUR);
  // The read position: before the bytes read ahead.
  if (at >= 0 && ahead) at -= static_cast<off_t>(ahead->Buffered());
  if (at < 0 || st.st_size >= at) return;
  // A client reopened the file for writing and started a new picture.
  if (::lseek(conID, 0, SEEK_SET) != 0) return;
  if (ahead) ahead->Drop();
  begin = 0;
  continuing = false;
}
