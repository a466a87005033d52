// The window: life cycle, messages, timers, the paint cycle and the
// client area's invalidation. The Qt widgets are in TWindowWidgets.cpp,
// the backing image and its surface in TClientArea.

#include "framework/window/TWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <climits>

#include "base/TextBytes.h"
#include "framework/application/QtApplication.h"
#include "framework/application/TScheduler.h"
#include "framework/window/ModalClose.h"
#include "framework/window/TPaintDC.h"
#include "framework/window/TWindowImpl.h"

namespace {

QRect toQRect(const TRect& r, const QRect& bounds) {
  // Clamp first: any 32-bit corners must give a sane rectangle.
  const int left = std::clamp(r.left, bounds.left(), bounds.right() + 1);
  const int top = std::clamp(r.top, bounds.top(), bounds.bottom() + 1);
  const int right = std::clamp(r.right, bounds.left(), bounds.right() + 1);
  const int bottom = std::clamp(r.bottom, bounds.top(), bounds.bottom() + 1);
  if (right <= left || bottom <= top) return {};
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

// --- TWindow ---------------------------------------------------------------

const TResponseTableEntry TWindow::Responses[] = {
    {WM_CLOSE, 0, v_Dispatch<&TWindow::EvClose>},
    {0, CM_EXIT, v_Dispatch<&TWindow::CmExit>},
    {WM_QUERYENDSESSION, 0, B_Dispatch<&TWindow::EvQueryEndSession>},
    {WM_DESTROY, 0, v_Dispatch<&TWindow::EvDestroy>},
    {WM_PAINT, 0, v_Dispatch<&TWindow::EvPaint>},
    {WM_SIZE, 0, v_U_POINT_Dispatch<&TWindow::EvSize>},
    {WM_ERASEBKGND, 0, B_Dispatch<&TWindow::EvEraseBkgnd>},
    {0, 0, nullptr},
};

bool TWindow::Find(TEventInfo& info) { return SearchEntries(Responses, info) || TEventHandler::Find(info); }

TWindow::TWindow(const char* title) : Title(title ? title : ""), impl(std::make_unique<Impl>(this)) {}

TWindow::~TWindow() {
  if (HWindow) {
    try {
      Destroy();
    } catch (...) {
      SuspendCurrentException();
    }
  }
  if (TScheduler* scheduler = GetScheduler()) scheduler->WindowGone(this);
}

TScheduler* TWindow::GetScheduler() const { return TScheduler::Current(); }

bool TWindow::Create() {
  if (HWindow) return true;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) throw TXWindow(IDS_WINDOWCREATEFAIL);
  impl->top = new Impl::TopWidget(impl.get());
  impl->layout = new QVBoxLayout(impl->top);
  impl->layout->setContentsMargins(0, 0, 0, 0);
  impl->layout->setSpacing(0);
  impl->client = new Impl::ClientWidget(impl.get(), impl->top);
  impl->layout->addWidget(impl->client);
  impl->top->setWindowTitle(DecodeTextBytes(Title));
  QSize size(Attr.W, Attr.H);
  if (Attr.W == CW_USEDEFAULT) {
    // The system's choice: three quarters of the screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(800, 600);
    size = available * 3 / 4;
  }
  impl->top->resize(size.expandedTo(QSize(1, 1)));
  if (Attr.X != CW_USEDEFAULT) impl->top->move(Attr.X, Attr.Y);
  HWindow = impl->top;
  try {
    AttachFrame();
  } catch (...) {
    impl->Detach();
    HWindow = nullptr;
    throw;
  }
  impl->layout->activate();
  impl->top->winId();  // the platform window, whose exposures are watched
  WatchCloseWhileModal();
  if (QWindow* window = impl->top->windowHandle()) {
    impl->filter = new Impl::ExposeFilter(impl.get());
    impl->filter->setParent(impl->top);
    window->installEventFilter(impl->filter);
    // A screen of another device pixel ratio needs another image.
    Impl* windowImpl = impl.get();
    QObject::connect(window, &QWindow::screenChanged, impl->filter,
                     [windowImpl] { GuardedCall([windowImpl] { windowImpl->ScreenChanged(); }); });
  }
  impl->area.Resize(impl->client->size(), impl->client->devicePixelRatioF(), SystemWindowColor());

  try {
    SetupWindow();
    if (TScheduler* scheduler = GetScheduler()) scheduler->ResumeThrow();
  } catch (...) {
    Destroy();
    throw;
  }
  if (Attr.Style & WS_VISIBLE) {
    HWindow->show();
    if (TScheduler* scheduler = GetScheduler()) scheduler->ResumeThrow();
  }
  return true;
}

void TWindow::SetupWindow() {}

void TWindow::CleanupWindow() {}

void TWindow::Show(int cmdShow) {
  if (!HWindow) return;
  switch (cmdShow) {
    case SW_HIDE:
      HWindow->hide();
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      HWindow->showMinimized();
      break;
    case SW_SHOWMAXIMIZED:
      HWindow->showMaximized();
      break;
    default:
      if (!HWindow->isVisible()) HWindow->show();
      break;
  }
}

void TWindow::Destroy(int) {
  if (!HWindow) return;
  try {
    HandleMessage(WM_DESTROY);
  } catch (...) {
    FinishDestroy();
    throw;
  }
  FinishDestroy();
}

void TWindow::FinishDestroy() {
  impl->Detach();
  HWindow = nullptr;
  if (TScheduler* scheduler = GetScheduler()) scheduler->DropRequests(this);
}

bool TWindow::CanClose() { return true; }

void TWindow::CloseWindow(int retVal) {
  TScheduler* scheduler = GetScheduler();
  const bool mayClose = IsFlagSet(wfMainWindow) && scheduler ? scheduler->CanClose() : CanClose();
  if (mayClose) Destroy(retVal);
}

bool TWindow::IdleAction(long) { return false; }

LRESULT TWindow::HandleMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  // What the outermost message drew goes to the screen when it ends.
  struct FlushAfter {
    Impl& impl;
    ~FlushAfter() {
      if (--impl.handling == 0) impl.Flush();
    }
  } flushAfter{*impl};
  ++impl->handling;
  if (msg == WM_COMMAND) return EvCommand(LoWord(wParam), lParam, HiWord(wParam));
  LRESULT result = 0;
  if (FindAndDispatch(msg, 0, wParam, lParam, result)) return result;
  return DefWindowProc(msg, wParam, lParam);
}

LRESULT TWindow::DefWindowProc(unsigned msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_PAINT:
      BeginPaint();
      EndPaint();
      return 0;
    case WM_ERASEBKGND:
      impl->area.Erase(impl->paintRegion, SystemWindowColor());
      return 1;
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_QUERYENDSESSION:
      return 1;
    default:
      return 0;
  }
}

LRESULT TWindow::EvCommand(unsigned id, LPARAM control, unsigned notifyCode) {
  TEventInfo info(notifyCode, id);
  if (Find(info)) return Dispatch(info, static_cast<WPARAM>(id), control);
  if (TScheduler* scheduler = GetScheduler()) {
    LRESULT result = 0;
    if (scheduler->CommandTarget().FindAndDispatch(notifyCode, id, static_cast<WPARAM>(id), control, result))
      return result;
  }
  return DefWindowProc(WM_COMMAND, id, control);
}

bool TWindow::CommandEnabled(unsigned id, TCommandEnabler::CheckState* check) {
  TCommandEnabler enabler(id);
  TScheduler* scheduler = GetScheduler();
  TEventHandler* app = scheduler ? &scheduler->CommandTarget() : nullptr;
  LRESULT ignored = 0;
  const LPARAM arg = reinterpret_cast<LPARAM>(&enabler);
  for (TEventHandler* h : {static_cast<TEventHandler*>(this), app}) {
    if (h && h->FindAndDispatch(WM_COMMAND_ENABLE, id, 0, arg, ignored) && enabler.WasHandled()) {
      if (check) *check = enabler.GetCheck();
      return enabler.IsEnabled();
    }
  }
  for (TEventHandler* h : {static_cast<TEventHandler*>(this), app}) {
    TEventInfo info(0, id);
    if (h && h->Find(info)) return true;
  }
  return false;
}

bool TWindow::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  TScheduler* scheduler = GetScheduler();
  return HWindow && scheduler && scheduler->PostMessage(this, msg, wParam, lParam);
}

LRESULT TWindow::DeliverMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (TScheduler* scheduler = GetScheduler()) scheduler->NoteDelivery();
  return HandleMessage(msg, wParam, lParam);
}

bool TWindow::PostAfterEvents(unsigned msg, WPARAM wParam) {
  if (!HWindow || !impl->client) return false;
  QCoreApplication::postEvent(impl->client, new LaterEvent(msg, wParam));
  return true;
}

bool TWindow::SetTimer(unsigned id, unsigned ms) {
  if (!HWindow || !impl->client) return false;
  KillTimer(id);
  const int interval = static_cast<int>(std::clamp<unsigned>(ms, 10u, static_cast<unsigned>(INT_MAX)));
  const int qtId = impl->client->startTimer(interval, Qt::PreciseTimer);
  if (qtId == 0) return false;
  impl->timers[id] = qtId;
  return true;
}

bool TWindow::KillTimer(unsigned id) {
  auto it = impl->timers.find(id);
  if (it == impl->timers.end()) return false;
  if (impl->client) impl->client->killTimer(it->second);
  impl->timers.erase(it);
  return true;
}

QImage& TWindow::ClientImage() { return impl->area.Image(); }

Surface& TWindow::ClientSurface() { return impl->area.Current(); }

void TWindow::SetClientSurface(Surface* surface) { impl->area.Redirect(surface); }

void TWindow::SetClientView(double zoom, double panX, double panY) { impl->area.SetView(zoom, panX, panY); }


void TWindow::ClientImageReplaced(QImage&) {}

void TWindow::FirstExposed() {}

TRect TWindow::GetClientRect() const {
  const TSize size = GetClientSize();
  return TRect{0, 0, size.cx, size.cy};
}

TSize TWindow::GetClientSize() const {
  if (!impl->client) return {};
  return TSize{impl->client->width(), impl->client->height()};
}

void TWindow::Invalidate(bool erase) { InvalidateRect(GetClientRect(), erase); }

void TWindow::InvalidateRect(const TRect& rect, bool erase) {
  if (!impl->client) return;
  const QRect r = toQRect(rect, impl->client->rect());
  if (r.isEmpty()) return;
  impl->update += r;
  impl->erasePending = impl->erasePending || erase;
  impl->SchedulePaint();
}

void TWindow::UpdateWindow() {
  if (!impl->update.isEmpty()) impl->DeliverCyclePaint();
}

bool TWindow::WholeClientErasePending() const {
  return impl->client && impl->erasePending && (QRegion(impl->client->rect()) - impl->update).isEmpty();
}

bool TWindow::PaintFromCycle() const { return impl->cyclePaint; }

TRect TWindow::BeginPaint() {
  impl->paintRegion = impl->update;
  impl->update = QRegion();
  if (impl->erasePending) {
    impl->erasePending = false;
    HandleMessage(WM_ERASEBKGND);
  }
  const QRect bounds = impl->paintRegion.boundingRect();
  return bounds.isEmpty() ? TRect{}
                          : TRect{bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1};
}

void TWindow::EndPaint() noexcept {
  impl->screenDue += impl->paintRegion;
  impl->paintRegion = QRegion();
  impl->screenDue += impl->area.TakeDrawn();
  if (impl->handling == 0) impl->Flush();
}

void TWindow::Flush() { impl->Flush(); }

void TWindow::SetOverlay(const TOverlay& overlay) {
  if (overlay == impl->overlay) return;
  impl->overlay = overlay;
  if (impl->client) impl->client->update();
}

int TWindow::DragDistance() { return QApplication::startDragDistance(); }

const QImage& TWindow::ClientPixels() {
  // Every drawing is in the pixels; what was drawn still goes to the screen.
  impl->screenDue += impl->area.TakeDrawn();
  return impl->area.Image();
}

bool TWindow::CopyClientToClipboard() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard || ClientImage().isNull()) return false;
  clipboard->setImage(ClientPixels());
  return true;
}

bool TWindow::ShowPicture(const QImage& picture) {
  if (!impl->client || !impl->area.CopyBottomLeft(picture)) return false;
  impl->screenDue += impl->client->rect();
  return true;
}

bool TWindow::EvEraseBkgnd() {
  if (BkgndColor == NoColor) return DefWindowProc(WM_ERASEBKGND, 0, 0) != 0;
  if (BkgndColor != NoErase) impl->area.Erase(impl->paintRegion, BkgndColor);
  return true;
}

int TWindow::MessageBox(const char* text, const char* caption, unsigned type) {
  return ShowMessageBox(text, caption, type);
}

void TWindow::SetMenuBar(QMenuBar* menuBar) {
  if (impl->layout) impl->layout->setMenuBar(menuBar);
}

QWidget* TWindow::TopLevelWidget() const { return impl->top; }

void TWindow::AttachFrame() {}

void TWindow::EvClose() {
  CloseWindow(0);
  if (!HWindow && IsFlagSet(wfDeleteOnClose)) {
    if (TScheduler* scheduler = GetScheduler()) scheduler->Condemn(this);
  }
}

void TWindow::CmExit() {
  if (IsFlagSet(wfMainWindow))
    CloseWindow(0);
  else
    DefWindowProc(WM_COMMAND, CM_EXIT, 0);
}

bool TWindow::EvQueryEndSession() {
  TScheduler* scheduler = GetScheduler();
  return IsFlagSet(wfMainWindow) && scheduler ? scheduler->CanClose() : CanClose();
}

void TWindow::EvDestroy() {
  CleanupWindow();
  TScheduler* scheduler = GetScheduler();
  if (IsFlagSet(wfMainWindow) && scheduler && scheduler->IsRunning()) scheduler->PostQuitMessage(0);
}

void TWindow::EvPaint() { TPaintDC dc(*this); }

void TWindow::EvSize(unsigned, const TSize&) {}
