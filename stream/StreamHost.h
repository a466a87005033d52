#pragma once
// What the command stream needs of the window it runs in: the poll timer,
// posted requests, invalidation and the client height. The display window
// implements it; the headless renderer and the tests implement it without a
// window.

class StreamHost {
public:
  virtual ~StreamHost() = default;
  // Stops the poll timer (timer 1 of the window).
  virtual void KillPollTimer() = 0;
  // Arms the poll timer: timer 1, 500 ms. A failure is ignored.
  virtual void SetPollTimer() = 0;
  // Posts a close request (WM_CLOSE) to the window.
  virtual void PostCloseRequest() = 0;
  // Posts a paint request (WM_PAINT) to the window.
  virtual void PostPaintRequest() = 0;
  // Invalidates the whole client area; with erase, the next paint erases it
  // to the background colour first.
  virtual void InvalidateClient(bool erase) = 0;
  // The height of the client area in pixels (the bottom of its rectangle).
  virtual int ClientHeight() = 0;
  // Whether a long polling step may pause to let the window answer input;
  // a host without an event loop runs every step to its end.
  virtual bool SlicesSteps() const { return false; }
  // Has ContinueStep of the stream called once the events waiting now
  // (input, exposure, close requests) have been handled.
  virtual void PostStepContinuation() {}
};
