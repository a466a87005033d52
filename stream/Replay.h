#pragma once
// The replay of a paint: every item of the display list, first to last, on
// the given context, so that attribute items take effect in list order and
// every drawing item is drawn again. The display window's paint and
// zorva-render's paint cycles both run it.

struct DisplayState;
class TClientDC;

void ReplayDisplayList(DisplayState& state, TClientDC& dc);
