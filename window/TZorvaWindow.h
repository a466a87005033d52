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
//
// A resize needs no replay at all while the erase-and-replay picture kept
// beside the window (window/RetainedPicture.h) shows the list: the window
// keeps that picture up to date between steps and shows its bottom-left
// part.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "stream/CommandFile.h"
#include "stream/CommandStream.h"
#include "stream/StreamHost.h"
#include "framework/application/FileWatch.h"
#include "framework/gdi/TClientDC.h"
#include "framework/window/TFrameWindow.h"
#include "window/RetainedPicture.h"
#include "window/PictureSave.h"
#include "window/SlicedReplay.h"
#include "window/View.h"

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
  // The next slice of a save.
  void EvSaveContinue();
  // The next slice of bringing the retained picture up to date.
  void EvRetainContinue();
  // Resize: moves the origin to the new bottom-left corner and invalidates
  // the whole client area with erasing.
  void EvSize(unsigned sizeType, const TSize& size);
  // Menu command 24346: the About box.
  void About();

  // Keeping and exploring the picture (TZorvaWindowExplore.cpp).
  void CmCopy();             // 100: the client area to the clipboard
  void CmSave();             // 101: the picture to a file
  void CmZoomIn();           // 102: about the client area's centre
  void CmZoomOut();          // 103
  void CmActualSize();       // 104: 1:1, no pan
  void CmFit();              // 105: every drawing item in view
  void CmShowCoordinates();  // 106: the pointer's coordinates, on or off
  void CeShowCoordinates(TCommandEnabler& enabler);
  void CeSave(TCommandEnabler& enabler);  // one save at a time
  // A press shows a crosshair and the coordinates; a drag pans.
  void EvLButtonDown(unsigned keys, const TPoint& at);
  void EvMouseMove(unsigned keys, const TPoint& at);
  void EvLButtonUp(unsigned keys, const TPoint& at);
  // The wheel zooms about the pointer.
  void EvMouseWheel(unsigned keys, int turn, const TPoint& at);
  void EvMouseLeave();
  const View& GetView() const { return view; }
  // Saves the picture to `path` as "Save picture as" does once it has a
  // name (the format from its extension, PNG for any other); a failure
  // shows a box. False when a save is under way already. Saving(): whether
  // one is.
  bool SavePicture(const std::string& path);
  bool Saving() const { return save != nullptr; }

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
  // Whether the retained picture has items of the list left to draw.
  bool RetainedBehind() const { return retained.Behind(state); }

  int conID;                         // the command file; 0 after destruction
  std::unique_ptr<TClientDC> winDC;  // the client-area context; null before setup

protected:
  void FirstExposed() override;
  void ClientImageReplaced(QImage& image) override;

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
  // Draws the picture anew in the current view: erases the client area and
  // replays the list in slices.
  void applyView();
  // Ends a save: a box when it failed.
  void endSave();
  // The overlay for the pointer at `at`: the coordinates, with a crosshair.
  void showPointer(const TPoint& at, bool crosshair);
  // What waits for an unfinished replay.
  enum class Waiting { Tick, StepRest, PostedPaint, CyclePaint };
  // True when a replay is unfinished: `what` then waits for its end.
  bool waitForReplay(Waiting what);
  // Whether `what` must wait now: for a replay, or for a save reading the
  // list.
  bool holds(Waiting what) const;
  // Runs one slice of the replay; posts the next one, or at the end runs
  // what waited.
  void runReplaySlice();
  // Drops an unfinished replay for an erase of the whole client area; what
  // waited for it goes on from a posted message, so that it never depends
  // on which paint comes next.
  void abandonReplay();
  void runWaiting();
  // Shows the retained picture for a paint that erases the whole client
  // area, bringing it up to date first if that is quick; false when it
  // cannot serve.
  bool showRetained();
  // Schedules the retained picture's catch-up once nothing else runs.
  void keepRetained();
  // Sizes the retained picture for the screen and the client image's ratio.
  void fitRetained();
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
  RetainedPicture retained;
  bool retainPosted = false;  // a catch-up slice is on its way
  std::vector<Waiting> waiting;  // in the order they came
  std::chrono::nanoseconds slice = CommandStream::DefaultSlice;
  View view;
  std::unique_ptr<PictureSave> save;  // a save under way
  std::string saveName;               // the name it writes, for its box
  std::string lastSaveName;           // where the dialog starts next time
  bool showCoordinates = false;  // the label follows the pointer
  bool pressed = false;          // the left button is down
  bool panning = false;          // ... and has moved beyond the drag distance
  TPoint lastAt;                 // where the pointer was at the last press or move
  int wheelRest = 0;             // a turn short of a notch
  static const TResponseTableEntry Responses[];
};
