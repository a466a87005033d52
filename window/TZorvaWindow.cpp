#include "window/TZorvaWindow.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "framework/application/ExitHook.h"
#include "framework/application/TScheduler.h"
#include "framework/window/TPaintDC.h"
#include "stream/DisplayState.h"
#include "window/Commands.h"

namespace {

constexpr unsigned kPollTimer = 1;
constexpr unsigned kPollMs = 500;
// How long a paint may spend bringing the retained picture up to date
// before it replays instead.
constexpr auto kCatchUpForPaint = std::chrono::milliseconds(40);

const char kAboutText[] =
    "ZORVA daemon\n"
    "Version 0.0.1\n"
    "Shows what a program draws into its command file.\n"
    "Free software, without any warranty.";

}  // namespace

const TResponseTableEntry TZorvaWindow::Responses[] = {
    {WM_TIMER, 0, v_WPARAM_Dispatch<&TZorvaWindow::EvTimer>},
    {WM_STEP_CONTINUE, 0, v_Dispatch<&TZorvaWindow::EvStepContinue>},
    {WM_REPLAY_CONTINUE, 0, v_Dispatch<&TZorvaWindow::EvReplayContinue>},
    {WM_RETAIN_CONTINUE, 0, v_Dispatch<&TZorvaWindow::EvRetainContinue>},
    {WM_PAINT, 0, v_Dispatch<&TZorvaWindow::EvPaint>},
    {WM_SIZE, 0, v_U_POINT_Dispatch<&TZorvaWindow::EvSize>},
    {0, CM_HELPABOUT, v_Dispatch<&TZorvaWindow::About>},
    {0, CM_COPY, v_Dispatch<&TZorvaWindow::CmCopy>},
    {0, CM_SAVE, v_Dispatch<&TZorvaWindow::CmSave>},
    {WM_COMMAND_ENABLE, CM_SAVE, v_CommandEnable_Dispatch<&TZorvaWindow::CeSave>},
    {WM_SAVE_CONTINUE, 0, v_Dispatch<&TZorvaWindow::EvSaveContinue>},
    {0, CM_ZOOMIN, v_Dispatch<&TZorvaWindow::CmZoomIn>},
    {0, CM_ZOOMOUT, v_Dispatch<&TZorvaWindow::CmZoomOut>},
    {0, CM_ACTUALSIZE, v_Dispatch<&TZorvaWindow::CmActualSize>},
    {0, CM_FIT, v_Dispatch<&TZorvaWindow::CmFit>},
    {0, CM_SHOWCOORDINATES, v_Dispatch<&TZorvaWindow::CmShowCoordinates>},
    {WM_COMMAND_ENABLE, CM_SHOWCOORDINATES, v_CommandEnable_Dispatch<&TZorvaWindow::CeShowCoordinates>},
    {WM_LBUTTONDOWN, 0, v_Mouse_Dispatch<&TZorvaWindow::EvLButtonDown>},
    {WM_MOUSEMOVE, 0, v_Mouse_Dispatch<&TZorvaWindow::EvMouseMove>},
    {WM_LBUTTONUP, 0, v_Mouse_Dispatch<&TZorvaWindow::EvLButtonUp>},
    {WM_MOUSEWHEEL, 0, v_Wheel_Dispatch<&TZorvaWindow::EvMouseWheel>},
    {WM_MOUSELEAVE, 0, v_Dispatch<&TZorvaWindow::EvMouseLeave>},
    {0, 0, nullptr},
};

TZorvaWindow::TZorvaWindow(const char* title, std::unique_ptr<CommandFile> file, DisplayState& displayState)
    : TFrameWindow(title),
      commandFile(std::move(file)),
      conID(commandFile->Descriptor()),
      state(displayState),
      stream(*this, displayState, conID, nullptr) {
  AssignMenu("DRAW_MENU");
  // From here on the file is removed also when the process ends without
  // closing the window (the display connection broke).
  SetExitHook(&CommandFile::RemoveAtExit, commandFile.get());
}

TZorvaWindow::~TZorvaWindow() {
  ClearExitHook(commandFile.get());
  commandFile->Close();
  conID = 0;
  winDC.reset();  // gives back the initial pen and font, deleting the program's
  SetClientSurface(nullptr);
  surface.reset();
  state.displayList.Flush();
}

void TZorvaWindow::UseSurface(std::unique_ptr<Surface> own) { surface = std::move(own); }

bool TZorvaWindow::Find(TEventInfo& info) {
  return SearchEntries(Responses, info) || TFrameWindow::Find(info);
}

void TZorvaWindow::SetupWindow() {
  TFrameWindow::SetupWindow();
  pollArmed = SetTimer(kPollTimer, kPollMs);
  if (!pollArmed) MessageBox("Out of Timers", appName(), MB_OK | MB_ICONEXCLAMATION);
  if (surface) SetClientSurface(surface.get());
  winDC = std::make_unique<TClientDC>(ClientSurface());
  stream.SetDC(winDC.get());
  SetBkgndColor(TColor(0, 0, 0).GetValue());
  // Where no watch can be set up, the timer alone polls.
  watch.Watch(conID, [this] { FileChanged(); });
  fitRetained();
}

void TZorvaWindow::SetSlice(std::chrono::nanoseconds length) {
  slice = length;
  stream.SetSlice(length);
}

void TZorvaWindow::EvTimer(unsigned timerId) {
  if (waitForReplay(Waiting::Tick)) return;
  stream.EvTimer(timerId);
  runWaiting();
  keepRetained();
}

void TZorvaWindow::EvStepContinue() {
  if (waitForReplay(Waiting::StepRest)) return;
  stream.ContinueStep();
  runWaiting();
  keepRetained();
}

void TZorvaWindow::EvPaint() {
  if (replay.Running()) {
    // A replay is dropped only for an erase of all it drew; any other paint
    // begins after it has ended.
    if (!WholeClientErasePending()) {
      waitForReplay(PaintFromCycle() ? Waiting::CyclePaint : Waiting::PostedPaint);
      return;
    }
    replay.Abandon();
  }
  if (WholeClientErasePending() && showRetained()) {
    // The picture is complete at once: what waited for a replay goes on.
    runWaiting();
    keepRetained();
    return;
  }
  // The replay covers the whole client area whatever the paint region is.
  TPaintDC paint(*this);
  if (!winDC) return;
  replay.Start(state, *winDC);
  runReplaySlice();
}

bool TZorvaWindow::showRetained() {
  if (!winDC || surface) return false;
  if (!retained.Matches(state) && !retained.CatchUp(state, SlicedReplay::Clock::now() + kCatchUpForPaint))
    return false;
  // The erase and the replay in one: the live context already holds what
  // the replay would leave it (the same attribute items, applied in order).
  TPaintDC paint(*this);
  return ShowPicture(retained.Image());
}

void TZorvaWindow::keepRetained() {
  if (retainPosted || replay.Running() || stream.StepRunning() || !retained.Behind(state)) return;
  retainPosted = PostAfterEvents(WM_RETAIN_CONTINUE);
}

void TZorvaWindow::EvRetainContinue() {
  retainPosted = false;
  // The stream and replays go first; each schedules this again when done.
  if (replay.Running() || stream.StepRunning()) return;
  retained.CatchUp(state, SlicedReplay::Clock::now() + slice);
  keepRetained();
}

void TZorvaWindow::ClientImageReplaced(QImage& image) {
  TFrameWindow::ClientImageReplaced(image);
  fitRetained();
}

void TZorvaWindow::fitRetained() {
  if (surface) return;
  // As large as the screen at the client image's ratio, so that any client
  // area on that screen is part of the picture.
  const QWidget* top = TopLevelWidget();
  const QScreen* screen = top ? top->screen() : nullptr;
  if (!screen || !retained.Fit(screen->size(), ClientImage().devicePixelRatio())) retained.Drop();
  keepRetained();
}

void TZorvaWindow::EvReplayContinue() {
  if (replay.Running()) {
    runReplaySlice();
    return;
  }
  // The replay was dropped: what waited for it goes on now, whenever the
  // paint that follows the drop comes.
  runWaiting();
  keepRetained();
}

void TZorvaWindow::abandonReplay() {
  if (!replay.Running()) return;
  replay.Abandon();
  if (!waiting.empty()) PostAfterEvents(WM_REPLAY_CONTINUE);
}

void TZorvaWindow::runReplaySlice() {
  if (!replay.Run(SlicedReplay::Clock::now() + slice)) {
    PostAfterEvents(WM_REPLAY_CONTINUE);
    return;
  }
  runWaiting();
  keepRetained();
}

bool TZorvaWindow::holds(Waiting what) const {
  // A replay holds everything back; a save holds the stream back while it
  // reads the list.
  const bool stream = what == Waiting::Tick || what == Waiting::StepRest;
  return replay.Running() || (stream && save && save->ReadsList());
}

bool TZorvaWindow::waitForReplay(Waiting what) {
  if (!holds(what)) return false;
  // Ticks do not pile up: one waiting tick reads everything that came.
  if (what != Waiting::Tick || std::find(waiting.begin(), waiting.end(), what) == waiting.end())
    waiting.push_back(what);
  return true;
}

void TZorvaWindow::runWaiting() {
  // In the order they came, as if each had come after the replay: a tick's
  // step runs to its end first (its own slices included), a posted paint
  // goes to the back of the queue, behind the requests that step made.
  while (!waiting.empty() && HWindow) {
    auto at = waiting.begin();
    // The rest of a step goes on, even when a paint came before it; anything
    // else waits for the step's end.
    if (*at != Waiting::StepRest && stream.StepRunning()) {
      at = std::find(waiting.begin(), waiting.end(), Waiting::StepRest);
      if (at == waiting.end()) break;
    }
    const Waiting next = *at;
    if (holds(next)) break;
    waiting.erase(at);
    switch (next) {
      case Waiting::Tick:
        if (pollArmed) stream.EvTimer(kPollTimer);
        break;
      case Waiting::StepRest:
        stream.ContinueStep();
        break;
      case Waiting::PostedPaint:
        PostMessage(WM_PAINT);
        break;
      case Waiting::CyclePaint:
        // As the paint cycle itself: only while something waits to be painted.
        UpdateWindow();
        break;
    }
  }
}

void TZorvaWindow::EvSize(unsigned sizeType, const TSize& size) {
  TFrameWindow::EvSize(sizeType, size);
  // All the client area is erased and replayed anew: what is left of a
  // replay would draw at the old origin.
  abandonReplay();
  if (winDC) winDC->SetViewportOrgEx(0, GetClientSize().cy);
  Invalidate(true);
}

void TZorvaWindow::About() { MessageBox(kAboutText, appName(), MB_OK); }

bool TZorvaWindow::RemoveCommandFile() { return commandFile->RemoveIfSame(); }

void TZorvaWindow::FirstExposed() {
  TFrameWindow::FirstExposed();
  if (OnFirstExposed) OnFirstExposed();
}

void TZorvaWindow::FileChanged() {
  // Exactly when a tick could come now: the framework holds ticks back while
  // it holds delivery, and a window without its system window has none.
  if (!pollArmed || !HWindow) return;
  TScheduler* scheduler = GetScheduler();
  if (scheduler && scheduler->HoldsDelivery()) return;
  DeliverMessage(WM_TIMER, kPollTimer);  // flushes the drawing to the screen afterwards
}

void TZorvaWindow::KillPollTimer() {
  KillTimer(kPollTimer);
  pollArmed = false;
}
void TZorvaWindow::SetPollTimer() { pollArmed = SetTimer(kPollTimer, kPollMs); }
void TZorvaWindow::PostCloseRequest() { PostMessage(WM_CLOSE); }
void TZorvaWindow::PostPaintRequest() { PostMessage(WM_PAINT); }
void TZorvaWindow::InvalidateClient(bool erase) { Invalidate(erase); }
int TZorvaWindow::ClientHeight() { return GetClientRect().bottom; }
bool TZorvaWindow::SlicesSteps() const { return true; }
void TZorvaWindow::PostStepContinuation() { PostAfterEvents(WM_STEP_CONTINUE); }

const char* TZorvaWindow::appName() const {
  TScheduler* scheduler = GetScheduler();
  return scheduler ? scheduler->GetName() : "ZORVAd";
}
