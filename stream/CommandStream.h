#pragma once
// Follows the command file: on every poll tick reads the new bytes, cuts
// them into items, obeys start, clear and exit, and appends every other item
// to the display list and draws it at once.
//
// A step reads until the file has no new bytes. A writer faster than the
// display would keep it from ever ending, so a step that has run for a time
// slice pauses: the host lets the window answer its events and then calls
// ContinueStep. The poll timer stays stopped for the whole step; paint
// requests and invalidations the step makes go out when it ends, as they do
// after a step that never paused.

#include <chrono>
#include <vector>

#include "stream/CommandReader.h"
#include "framework/gdi/TColor.h"

struct DisplayState;
class StreamHost;
class TClientDC;

class CommandStream : private ItemSink {
public:
  static constexpr int BufSize = CommandReader::BufSize;
  static constexpr std::chrono::milliseconds DefaultSlice{20};

  // fd: the command file, open for reading at its current position.
  // dc: the window's client-area context; may be set later with SetDC.
  // state: the display list, flag and attributes the stream keeps.
  CommandStream(StreamHost& host, DisplayState& state, int fd, TClientDC* dc);

  void SetDC(TClientDC* dc) { winDC = dc; }
  // The longest a step runs before it pauses (hosts that slice steps only).
  void SetSlice(std::chrono::nanoseconds slice) { sliceLength = slice; }

  // The polling step: stops the timer, reads until the file has no new
  // bytes (parsing after every read), then re-arms the timer. An exit item
  // posts a close request and leaves the timer stopped. A read error counts
  // as a read of no new bytes.
  void EvTimer(unsigned timerId);
  // Goes on with a step that paused; does nothing when none is running.
  void ContinueStep();
  bool StepRunning() const { return stepping; }

  // The bytes carried over from earlier reads (an incomplete item).
  int Carried() const { return reader.Carried(); }
  // Reads a regular file in large blocks (CommandReader).
  void ReadAheadOfRegularFile() { reader.ReadAheadOfRegularFile(); }
  // Steps that are not sliced read and parse on a worker thread while the
  // items are taken here (ReadPiped): the same items, the same drawing.
  void ReadOnWorker() { piped = true; }

private:
  // Appends the seven attribute items (font, height, text colour, alignment,
  // line colour, width, line type); alig and type are item codes.
  void InitDisplayList(const char* font, int height, TColor text, int alig, TColor line, int width, int type);

  enum class Request { Invalidate, Paint };

  // The attribute items a start or clear item puts at the head of the list.
  static constexpr int kDefaultItems = 7;

  bool TakeItem(zvItem& item) override;
  // Applies the start item's seven attribute items to the live context.
  void drawDefaults();
  void runSlice();
  // Ends the step: the requests it made go out, in order.
  void endStep();
  void request(Request r);

  StreamHost& host;
  DisplayState& state;
  TClientDC* winDC;
  CommandReader reader;
  std::chrono::nanoseconds sliceLength = DefaultSlice;
  bool stepping = false;
  bool piped = false;
  std::vector<Request> deferred;
};
