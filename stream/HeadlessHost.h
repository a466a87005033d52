#pragma once
// A window without a window: the client area is a W x H rectangle, the poll
// timer and the posted requests are recorded instead of scheduled.

#include "stream/StreamHost.h"

class HeadlessHost : public StreamHost {
public:
  HeadlessHost(int width, int height) : width(width), height(height) {}

  void KillPollTimer() override { timerArmed = false; }
  void SetPollTimer() override { timerArmed = true; }
  void PostCloseRequest() override { closePosted = true; }
  void PostPaintRequest() override { ++paintsPosted; }
  void InvalidateClient(bool erase) override { erasePending = erasePending || erase; }
  int ClientHeight() override { return height; }

  const int width;
  const int height;
  bool timerArmed = false;
  bool closePosted = false;
  int paintsPosted = 0;
  bool erasePending = false;
};
