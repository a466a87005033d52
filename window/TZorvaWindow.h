#pragma once
// The display window: a frame window titled by its creator with the menu
// DRAW_MENU. It holds the command file open, polls it every 500 ms through
// the command stream, draws every new item at once through its client-area
// context, replays the display list whenever it is painted and keeps the
// drawing origin at the bottom-left corner of its client area. A change of
// the command file runs the polling step at once, whenever a tick of the
// poll timer could run it; the timer stays the fallback where the system
// reports no changes.
//
// Replays run in slices of at most about 20 ms, as polling steps do, and
// the window answers input, close requests, menus and timers between them.
// While a replay is unfinished the stream does not run: ticks, the rest of
// a paused step and paints that come meanwhile wait and run, in the order
// they came, after its last slice, so the drawing calls are those of one
// unsliced sequence. Only a later erase of the whole client area (a resize)
// drops an unfinished replay. The screen shows the replay filling in.

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "stream/CommandFile.h"
#include "stream/CommandStream.h"
#include "stream/StreamHost.h"
#include "framework/application/FileWatch.h"
#include "framework/gdi/TClientDC.h"
#include "framework/window/TFrameWindow.h"
#include "window/SlicedReplay.h"

struct DisplayState;
class Surface;

class TZorvaWindow : public TFrameWindow, private StreamHost {
  // Declared first: conID and the stream are made from it.
  std::unique_ptr<CommandFile> commandFile;

public:
  // Takes over the command file, which the caller has opened
  // (CommandFile::Open succeeded): the window reads it from where it stands,
  // and from now on an exit of the process that skips the window's
  // destruction still removes it (RemoveCommandFile, as an exit hook).
  // The window draws, polls and replays with `state`, which must outlive it.
  TZorvaWindow(const char* title, std::unique_ptr<CommandFile> file, DisplayState& state);
  // Closes the command file, releases the drawing context and empties the
  // display list.
  ~TZorvaWindow() override;

  // Removes the name of the command file while it still names the file
  // this window opened and no other display follows it; at most once.
  // Returns whether it was removed.
  bool RemoveCommandFile();

  // Before setup: the window draws on `own` (for example a recording
  // surface) instead of on its client image.
  void UseSurface(std::unique_ptr<Surface> own);

  bool Find(TEventInfo& info) override;
  // Arms the poll timer (timer 1, 500 ms), makes the client-area context,
  // sets the background to black and starts watching the command file.
  void SetupWindow() override;

  // The polling step (timer 1).
  void EvTimer(unsigned timerId);
  // The rest of a step that paused to let the window answer its events.
  void EvStepContinue();
  // Paint: validates the update region, then replays the whole display list
  // in slices.
  void EvPaint();
  // The next slice of an unfinished replay.
  void EvReplayContinue();
  // Resize: moves the origin to the new bottom-left corner and invalidates
  // the whole client area with erasing.
  void EvSize(unsigned sizeType, const TSize& size);
  // Menu command 24346: the About box.
  void About();

  // Called once after the window was first shown (the launcher's readiness).
  std::function<void()> OnFirstExposed;

  // The longest a polling step or a replay slice runs before the window
  // answers its events (20 ms unless changed).
  void SetSlice(std::chrono::nanoseconds length);
  // Whether a replay is unfinished.
  bool Replaying() const { return replay.Running(); }
  // Whether nothing is under way: no replay, no polling step, nothing
  // waiting for either.
  bool Idle() const { return !replay.Running() && !stream.StepRunning() && waiting.empty(); }

  int conID;                         // the command file; 0 after destruction
  std::unique_ptr<TClientDC> winDC;  // the client-area context; null before setup

protected:
  void FirstExposed() override;

private:
  // The command stream's view of this window.
  void KillPollTimer() override;
  void SetPollTimer() override;
  void PostCloseRequest() override;
  void PostPaintRequest() override;
  void InvalidateClient(bool erase) override;
  int ClientHeight() override;
  bool SlicesSteps() const override;
  void PostStepContinuation() override;

  const char* appName() const;
  // What waits for an unfinished replay.
  enum class Waiting { Tick, StepRest, PostedPaint, CyclePaint };
  // True when a replay is unfinished: `what` then waits for its end.
  bool waitForReplay(Waiting what);
  // Runs one slice of the replay; posts the next one, or at the end runs
  // what waited.
  void runReplaySlice();
  void runWaiting();
  // The command file changed: runs the polling step as a tick would, but
  // only while the poll timer is armed (not during a step, not after an exit
  // item) and the application delivers ticks.
  void FileChanged();

  DisplayState& state;
  std::unique_ptr<Surface> surface;  // set by UseSurface: draws instead of the client image
  CommandStream stream;
  bool pollArmed = false;  // timer 1 is running
  TFileWatch watch;        // the command file's changes
  SlicedReplay replay;
  std::vector<Waiting> waiting;  // in the order they came
  std::chrono::nanoseconds slice = CommandStream::DefaultSlice;
  static const TResponseTableEntry Responses[];
};
