#pragma once
// The replay of a paint: every item of the display list, first to last, on
// the given context, so that attribute items take effect in list order and
// every drawing item is drawn again. The display window's paint and
// zorva-render's paint cycles both run it. Whole runs of items the surface
// shows none of (ListRuns) it may let the surface skip: the picture and the
// context's state are as if each item were drawn.

struct DisplayState;
struct DisplayTarget;
class TClientDC;

void ReplayDisplayList(DisplayState& state, TClientDC& dc);
// Items start to stop - 1 (clamped to the list) on the target.
void ReplayItems(DisplayState& state, DisplayTarget& target, int start, int stop);
