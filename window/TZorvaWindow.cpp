#include "window/TZorvaWindow.h"

#include "framework/application/ExitHook.h"
#include "framework/application/TScheduler.h"
#include "framework/window/TPaintDC.h"
#include "stream/DisplayState.h"
#include "stream/Replay.h"

namespace {

constexpr unsigned kPollTimer = 1;
constexpr unsigned kPollMs = 500;
// The rest of a polling step that paused to let the window answer input.
constexpr unsigned kStepContinue = WM_USER + 1;

const char kAboutText[] =
    "ZORVA daemon\n"
    "Version 0.0.1\n"
    "Shows what a program draws into its command file.\n"
    "Free software, without any warranty.";

}  // namespace

const TResponseTableEntry TZorvaWindow::Responses[] = {
    {WM_TIMER, 0, v_WPARAM_Dispatch<&TZorvaWindow::EvTimer>},
    {kStepContinue, 0, v_Dispatch<&TZorvaWindow::EvStepContinue>},
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

void TZorvaWindow::EvTimer(unsigned timerId) { stream.EvTimer(timerId); }

void TZorvaWindow::EvStepContinue() { stream.ContinueStep(); }

void TZorvaWindow::EvPaint() {
  // The replay covers the whole client area whatever the paint region is,
  // inside the paint bracket, so the screen gets all of it at once.
  TPaintDC paint(*this);
  if (winDC) ReplayDisplayList(state, *winDC);
}

void TZorvaWindow::EvSize(unsigned sizeType, const TSize& size) {
  TFrameWindow::EvSize(sizeType, size);
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
