#include "stream/Replay.h"

#include "stream/DisplayState.h"
#include "items/ItemDisplay.h"

void ReplayDisplayList(DisplayState& state, TClientDC& dc) {
  DisplayTarget target{&dc, &state};
  state.displayList.ForEach(DisplayItem, &target, 0, state.displayList.Count());
}
