#pragma once
// Cuts the command file into items. Reads take at most 1023 bytes, behind
// the unfinished item carried over from earlier reads; every read is parsed
// at once, and each complete item goes to the sink in file order.
//
// One working item serves a pass (the parse of one read): an item whose text
// gives fewer arguments than its kind uses carries those of the item before
// it in the same pass. A pass's first item starts from a fresh one.
//
// No byte sequence stalls the stream:
//   - a NUL byte in the file is read as a blank;
//   - when the carried bytes fill the buffer, the unfinished item is handed
//     to an item reader that keeps only what it has learnt (field values,
//     the kept part of a string) and is continued across later reads; it
//     completes as the first item of the pass of the read that brings its
//     last byte. The items are those a buffer large enough for every item
//     would give.
// A regular file found shorter than the read position has been rewritten:
// the carried bytes are dropped and reading starts again from offset 0.

#include <functional>
#include <memory>

#include "items/ItemReader.h"
#include "items/zvItem.h"
#include "stream/ReadAhead.h"

// Receives the complete items.
class ItemSink {
public:
  virtual ~ItemSink() = default;
  // Acts on one item; false stops the reading (nothing after it is looked at).
  virtual bool TakeItem(zvItem& item) = 0;
};

class CommandReader {
public:
  static constexpr int BufSize = 1024;  // 1023 bytes of text and a NUL

  // fd: the command file, open for reading; not owned.
  explicit CommandReader(int fd) : conID(fd) {}

  enum class Outcome {
    Drained,  // a read brought no new bytes (end of file, or a read error)
    Stopped,  // the sink stopped the reading
    Paused,   // `timeUp` said so before a read; call Read again to go on
  };
  // Reads, parses and hands items to the sink until one of the outcomes.
  // `timeUp`, when given, is asked before every read but the first.
  Outcome Read(ItemSink& sink, const std::function<bool()>& timeUp = {});

  // One pass over the NUL-terminated `text` with `item` as the working item:
  // hands every complete item to the sink. Returns the bytes the complete
  // items take, or -1 when the sink stopped.
  static int ParsePass(ItemSink& sink, zvItem& item, const char* text);

  // The bytes carried over from earlier reads (an incomplete item).
  int Carried() const { return begin; }

  // Reads a regular file in large blocks from now on (ReadAhead), with the
  // same bytes in every read: for a reader that alone reads the file.
  void ReadAheadOfRegularFile();

private:
  // Starts again from offset 0 when a regular file shrank below the read
  // position.
  void restartIfShrunk();
  // Hands the carried bytes to the item reader (they fill the buffer).
  void continueCarried();
  // One read's bytes in buf[0, size): parses them; -1 when stopped.
  int parseRead(ItemSink& sink, int size);

  int conID;
  char buf[BufSize] = {};
  int begin = 0;
  bool continuing = false;
  ItemReader reader;  // the item being continued
  zvItem pending;
  std::unique_ptr<ReadAhead> ahead;
};
