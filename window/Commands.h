#pragma once
// The display window's own menu commands, as its menu resource
// (app/resources/DRAW_MENU.menu) gives them, and the messages it sends
// itself to go on with work it does in slices.

#include "framework/application/Messages.h"

enum : unsigned {
  CM_COPY = 100,
  CM_SAVE = 101,
  CM_ZOOMIN = 102,
  CM_ZOOMOUT = 103,
  CM_ACTUALSIZE = 104,
  CM_FIT = 105,
  CM_SHOWCOORDINATES = 106,
};

enum : unsigned {
  WM_STEP_CONTINUE = WM_USER + 1,    // the rest of a paused polling step
  WM_REPLAY_CONTINUE = WM_USER + 2,  // the next slice of a replay
  WM_RETAIN_CONTINUE = WM_USER + 3,  // the retained picture's next slice
  WM_SAVE_CONTINUE = WM_USER + 4,    // the next slice of a save
};
