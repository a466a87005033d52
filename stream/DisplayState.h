#pragma once
// What a display remembers of its picture: the display list, the flag that
// lets clear items act, and the seven drawing attributes (inherited, so
// that the item rendering updates them in place). The daemon holds one; the
// command stream, the replay and the window work on the one they are given.

#include "stream/ListRuns.h"
#include "stream/itemList.h"
#include "items/DrawAttributes.h"

struct DisplayState : DrawAttributes {
  // Every ordinary item in arrival order; start and clear items refill it
  // with the seven attribute items.
  itemList displayList{1000};
  // The list's runs summed up for replays that skip what cannot show.
  ListRuns listRuns;

  // 1 from a start item (and at program start) until the next ordinary
  // item; clear items act only while it is 0.
  int clearDisplayList = 1;

  // Counts the restarts of the list by start and clear items, which leave
  // it beginning with the seven attribute items; 0 until the first.
  unsigned listGeneration = 0;
  // Whether a start item has set the live context's background mode to
  // transparent (it is opaque until then, and stays transparent).
  bool transparentText = false;

  // A start or clear item empties the list (its storage kept) and counts
  // the restart.
  void RestartList() {
    displayList.Flush();
    ++listGeneration;
  }

  // Back to the program's start: the list emptied (its storage kept), the
  // flag 1 and the attributes at their start values.
  void Restart();
};
