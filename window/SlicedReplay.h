#pragma once
// A replay of the display list run in slices: every item, first to last, in
// order, on one context, as one unsliced replay draws them, but handed out a
// slice at a time, so that the window answers its events between slices.
// The items a slice draws are exactly the next ones of the unsliced
// sequence; only the pauses between them differ.
//
// The list must not change while a replay is unfinished: the window keeps
// the stream from running meanwhile.

#include <chrono>

struct DisplayState;
struct DrawAttributes;
class TClientDC;

class SlicedReplay {
public:
  using Clock = std::chrono::steady_clock;

  // Begins a replay of `state`'s list on `dc`, from its first item; a
  // replay still unfinished is dropped. Its attribute items update
  // `attributes` (the display's own, unless given others).
  void Start(DisplayState& state, TClientDC& dc, DrawAttributes* attributes = nullptr);
  // Draws on until the list is done or `until` has passed (at least one
  // item a call). True when the replay is done.
  bool Run(Clock::time_point until);
  bool Running() const { return state != nullptr; }
  // Drops the rest of the replay (the whole picture is about to be erased).
  void Abandon() { state = nullptr; }

private:
  DisplayState* state = nullptr;
  TClientDC* dc = nullptr;
  DrawAttributes* attributes = nullptr;
  int next = 0;
  // Items drawn between two looks at the clock, adapted to what they cost:
  // a look costs about as much as drawing a short line.
  int batch = 64;
};
