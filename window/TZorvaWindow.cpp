#include "window/TZorvaWindow.h"

#include <algorithm>

#include "framework/application/ExitHook.h"
#include "framework/application/TScheduler.h"
#include "framework/window/TPaintDC.h"
#include "stream/DisplayState.h"

namespace {

constexpr unsigned kPollTimer = 1;
constexpr unsigned kPollMs = 500;
// The rest of a polling step that paused to let the window answer input.
constexpr unsigned kStepContinue = WM_USER + 1;
// The next slice of a replay.
constexpr unsigned kReplayContinue = WM_USER + 2;

const char kAboutText[] =
    "ZORVA daemon\n"
    "Version 0.0.1\n"
    "Shows what a program draws into its command file.\n"
    "Free software, without any warranty.";

}  // namespace

const TResponseTableEntry TZorvaWindow::Responses[] = {
    {WM_TIMER, 0, v_WPARAM_Dispatch<&TZorvaWindow::EvTimer>},
    {kStepContinue, 0, v_Dispatch<&TZorvaWindow::EvStepContinue>},
    {kReplayContinue, 0, v_Dispatch<&TZorvaWindow::EvReplayContinue>},
    {WM_PAINT, 0, v_Dispatch<&TZorvaWindow::EvPaint>},
    {WM_SIZE, 0, v_U_POINT_Dispatch<&TZorvaWindow::EvSize>},
    {0, CM_HELPABOUT, v_Dispatch<&TZorvaWindow::About>},
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
}

void TZorvaWindow::SetSlice(std::chrono::nanoseconds length) {
  slice = length;
  stream.SetSlice(length);
}

void TZorvaWindow::EvTimer(unsigned timerId) {
  if (waitForReplay(Waiting::Tick)) return;
  stream.EvTimer(timerId);
  runWaiting();
}

void TZorvaWindow::EvStepContinue() {
  if (waitForReplay(Waiting::StepRest)) return;
  stream.ContinueStep();
  runWaiting();
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
  // The replay covers the whole client area whatever the paint region is.
  TPaintDC paint(*this);
  if (!winDC) return;
  replay.Start(state, *winDC);
  runReplaySlice();
}

void TZorvaWindow::EvReplayContinue() {
  if (replay.Running()) runReplaySlice();
}

void TZorvaWindow::runReplaySlice() {
  if (!replay.Run(SlicedReplay::Clock::now() + slice)) {
    PostAfterEvents(kReplayContinue);
    return;
  }
  runWaiting();
}

bool TZorvaWindow::waitForReplay(Waiting what) {
  if (!replay.Running()) return false;
  // Ticks do not pile up: one waiting tick reads everything that came.
  if (what != Waiting::Tick || std::find(waiting.begin(), waiting.end(), what) == waiting.end())
    waiting.push_back(what);
  return true;
}

void TZorvaWindow::runWaiting() {
  // In the order they came, as if each had come after the replay: a tick's
  // step runs to its end first (its own slices included), a posted paint
  // goes to the back of the queue, behind the requests that step made.
  while (!waiting.empty() && !replay.Running() && HWindow) {
    const Waiting next = waiting.front();
    // The rest of a step goes on; anything else waits for the step's end.
    if (next != Waiting::StepRest && stream.StepRunning()) break;
    waiting.erase(waiting.begin());
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
  replay.Abandon();
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
void TZorvaWindow::PostStepContinuation() { PostAfterEvents(kStepContinue); }

const char* TZorvaWindow::appName() const {
  TScheduler* scheduler = GetScheduler();
  return scheduler ? scheduler->GetName() : "ZORVAd";
}
