#include "framework/TWindow.h"

#include <QExposeEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QPaintEvent>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

#include "framework/QtApplication.h"
#include "framework/TApplication.h"
#include "framework/TFrameWindow.h"
#include "framework/TPaintDC.h"
#include "framework/surface/ColorValue.h"
#include "framework/surface/RasterSurface.h"
#include "framework/surface/TextBytes.h"

namespace {

QEvent::Type paintCycleType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

// A request that waits behind the events already queued (PostAfterEvents).
QEvent::Type laterType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

class LaterEvent : public QEvent {
public:
  LaterEvent(unsigned msg, WPARAM wParam) : QEvent(laterType()), msg(msg), wParam(wParam) {}
  const unsigned msg;
  const WPARAM wParam;
};

// The system's window colour, with which a window without a background
// colour of its own is erased.
QRgb systemWindowColor() { return QGuiApplication::palette().color(QPalette::Base).rgb(); }

// Fills a region of the image pixel by pixel: the window's drawing context
// may hold a painter on the image, and a second painter could not begin.
void fillRegion(QImage& image, const QRegion& region, QRgb value) {
  if (image.isNull())
    return;
  const QRegion clipped = region & image.rect();
  for (const QRect& r : clipped) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      std::fill(line + r.left(), line + r.right() + 1, value);
    }
  }
}

// Erases a region of the client area: through the window's surface when it
// has one (so that its painter, if any, does the filling), else directly.
void eraseRegion(Surface* surface, QImage& image, const QRegion& region, QRgb value) {
  if (!surface) {
    fillRegion(image, region, value);
    return;
  }
  const QRegion clipped = image.isNull() ? region : region & image.rect();
  for (const QRect& r : clipped)
    surface->EraseBkgnd(r.x(), r.y(), r.width(), r.height(), FromQRgb(value));
}

QRect toQRect(const TRect& r, const QRect& bounds) {
  // Clamp first: any 32-bit corners must give a sane rectangle.
  const int left = std::clamp(r.left, bounds.left(), bounds.right() + 1);
  const int top = std::clamp(r.top, bounds.top(), bounds.bottom() + 1);
  const int right = std::clamp(r.right, bounds.left(), bounds.right() + 1);
  const int bottom = std::clamp(r.bottom, bounds.top(), bounds.bottom() + 1);
  if (right <= left || bottom <= top)
    return {};
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

struct TWindow::Impl {
  class ClientWidget;
  class TopWidget;
  class ExposeFilter;

  explicit Impl(TWindow* owner) : owner(owner) {}

  TWindow* owner;
  QPointer<TopWidget> top;        // top-level windows only
  QPointer<ClientWidget> client;  // the client area
  QVBoxLayout* layout = nullptr;
  ExposeFilter* filter = nullptr;
  std::unique_ptr<QImage> image = std::make_unique<QImage>();
  QRegion update;
  bool erasePending = false;
  bool paintScheduled = false;
  QRegion paintRegion;  // between BeginPaint and EndPaint
  std::map<unsigned, int> timers;  // program id -> Qt timer id
  bool firstExposure = false;

  void SchedulePaint();
  void PaintCycle();
  void Resized(const QSize& size);
  void Timer(int qtId);
  void Later(unsigned msg, WPARAM wParam);
  void Exposed(const QRegion& windowRegion);
  void Detach();
};

class TWindow::Impl::ClientWidget : public QWidget {
public:
  ClientWidget(Impl* impl, QWidget* parent) : QWidget(parent), impl(impl) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
  }
  Impl* impl;

protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    if (impl && !impl->image->isNull())
      painter.drawImage(event->rect(), *impl->image, event->rect());
    else
      painter.fillRect(event->rect(), QColor(systemWindowColor()));
  }
  void resizeEvent(QResizeEvent* event) override {
    if (impl)
      GuardedCall([this, event] { impl->Resized(event->size()); });
  }
  void timerEvent(QTimerEvent* event) override {
    if (impl)
      GuardedCall([this, event] { impl->Timer(event->timerId()); });
  }
  bool event(QEvent* event) override {
    if (event->type() == paintCycleType()) {
      if (impl)
        GuardedCall([this] { impl->PaintCycle(); });
      return true;
    }
    if (event->type() == laterType()) {
      if (impl) {
        const auto* later = static_cast<LaterEvent*>(event);
        GuardedCall([this, later] { impl->Later(later->msg, later->wParam); });
      }
      return true;
    }
    return QWidget::event(event);
  }
};

class TWindow::Impl::TopWidget : public QWidget {
public:
  explicit TopWidget(Impl* impl) : impl(impl) {}
  Impl* impl;

protected:
  // The system close command becomes a close request; the window goes only
  // if the request destroys it.
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (impl) {
      TWindow* owner = impl->owner;
      GuardedCall([owner] {
        owner->DeliverMessage(WM_CLOSE);
      });
    }
  }
};

class TWindow::Impl::ExposeFilter : public QObject {
public:
  explicit ExposeFilter(Impl* impl) : impl(impl) {}
  Impl* impl;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (impl && event->type() == QEvent::Expose) {
      auto* window = static_cast<QWindow*>(watched);
      if (window->isExposed()) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        const QRegion region = static_cast<QExposeEvent*>(event)->region();
#pragma GCC diagnostic pop
        GuardedCall([this, region] { impl->Exposed(region); });
      }
    }
    return false;  // Qt still flushes the widgets
  }
};

void TWindow::Impl::SchedulePaint() {
  if (paintScheduled || !client)
    return;
  paintScheduled = true;
  QCoreApplication::postEvent(client, new QEvent(paintCycleType()), Qt::LowEventPriority);
}

void TWindow::Impl::PaintCycle() {
  paintScheduled = false;
  TApplication* app = owner->GetApplication();
  if (update.isEmpty() || (app && app->BreakMessageLoop))
    return;
  owner->DeliverMessage(WM_PAINT);
}

void TWindow::Impl::Resized(const QSize& size) {
  if (size != image->size()) {
    auto fresh = std::make_unique<QImage>(size, QImage::Format_RGB32);
    if (!fresh->isNull()) {
      fresh->fill(owner->BkgndColor == NoColor || owner->BkgndColor == NoErase
                      ? systemWindowColor()
                      : ToQRgb(owner->BkgndColor));
      const int w = std::min(size.width(), image->width());
      const int h = std::min(size.height(), image->height());
      for (int y = 0; y < h; ++y)
        std::memcpy(fresh->scanLine(y), image->constScanLine(y), static_cast<std::size_t>(w) * 4);
    }
    const QRegion uncovered = QRegion(fresh->rect()) - QRegion(image->rect());
    // The old image lives until the hook has moved its drawing away.
    std::unique_ptr<QImage> old = std::move(image);
    image = std::move(fresh);
    update &= image->rect();
    if (auto* raster = dynamic_cast<RasterSurface*>(owner->clientSurface);
        raster && raster->Target() == old.get())
      raster->Retarget(image.get());
    owner->ClientImageReplaced(*image);
    old.reset();
    if (!uncovered.isEmpty()) {
      update += uncovered;
      erasePending = true;
      SchedulePaint();
    }
  }
  const unsigned kind =
      top && top->isMaximized() ? SIZE_MAXIMIZED : (top && top->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED);
  owner->DeliverMessage(WM_SIZE, kind, MakeLParam(size.width(), size.height()));
}

void TWindow::Impl::Timer(int qtId) {
  for (const auto& [id, running] : timers) {
    if (running != qtId)
      continue;
    TApplication* app = owner->GetApplication();
    if (app && app->HoldsDelivery())
      return;  // the next tick comes later
    owner->DeliverMessage(WM_TIMER, id, 0);
    return;
  }
}

void TWindow::Impl::Later(unsigned msg, WPARAM wParam) {
  TApplication* app = owner->GetApplication();
  if (app && app->HoldsDelivery()) {
    // Unlike a timer tick, this request comes only once: it waits.
    QPointer<ClientWidget> widget = client;
    QTimer::singleShot(10, client, [widget, msg, wParam] {
      if (widget) QCoreApplication::postEvent(widget, new LaterEvent(msg, wParam));
    });
    return;
  }
  owner->DeliverMessage(msg, wParam, 0);
}

void TWindow::Impl::Exposed(const QRegion& windowRegion) {
  if (!client)
    return;
  const QWidget* window = client->window();
  const QPoint offset = client->mapTo(window, QPoint(0, 0));
  const QRegion region = windowRegion.translated(-offset) & client->rect();
  if (!region.isEmpty()) {
    update += region;
    erasePending = true;
    owner->UpdateWindow();
  }
  for (TWindow* child : std::vector<TWindow*>(owner->children)) {
    if (child->impl->client)
      child->impl->Exposed(windowRegion);
  }
  if (!firstExposure) {
    firstExposure = true;
    QPointer<ClientWidget> widget = client;
    QTimer::singleShot(0, client, [widget] {
      if (widget && widget->impl)
        GuardedCall([&widget] { widget->impl->owner->FirstExposed(); });
    });
  }
}

void TWindow::Impl::Detach() {
  for (const auto& [id, running] : timers) {
    if (client)
      client->killTimer(running);
  }
  timers.clear();
  if (client)
    client->impl = nullptr;
  if (top)
    top->impl = nullptr;
  if (filter)
    filter->impl = nullptr;
  QWidget* widget = top ? static_cast<QWidget*>(top) : static_cast<QWidget*>(client);
  if (widget)
    widget->hide();
  TQtApplication::Dispose(widget);
  top = nullptr;
  client = nullptr;
  layout = nullptr;
  filter = nullptr;
  update = QRegion();
  erasePending = false;
  paintScheduled = false;
}

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

TWindow::TWindow(TWindow* parent, const char* title, TModule* module)
    : Title(title ? title : ""), Parent(parent), ModulePtr(module), impl(std::make_unique<Impl>(this)) {
  if (Parent)
    Parent->children.push_back(this);
}

TWindow::~TWindow() {
  while (!children.empty())
    delete children.back();
  if (HWindow) {
    try {
      Destroy();
    } catch (...) {
      SuspendCurrentException();
    }
  }
  if (TApplication* app = GetApplication()) {
    if (app->MainWindow && static_cast<TWindow*>(app->MainWindow) == this)
      app->MainWindow = nullptr;
    app->Uncondemn(this);
    app->PurgeMessages(this);
  }
  if (Parent) {
    auto& siblings = Parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

TApplication* TWindow::GetApplication() const { return TApplication::Current(); }

bool TWindow::Create() {
  if (HWindow)
    return true;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    throw TXWindow(IDS_WINDOWCREATEFAIL);
  if (Parent && Parent->impl->client) {
    impl->client = new Impl::ClientWidget(impl.get(), Parent->impl->client);
    impl->client->setGeometry(Attr.X == CW_USEDEFAULT ? 0 : Attr.X, Attr.Y, std::max(Attr.W, 0),
                              std::max(Attr.H, 0));
    HWindow = impl->client;
  } else {
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
    if (Attr.X != CW_USEDEFAULT)
      impl->top->move(Attr.X, Attr.Y);
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
    if (QWindow* window = impl->top->windowHandle()) {
      impl->filter = new Impl::ExposeFilter(impl.get());
      impl->filter->setParent(impl->top);
      window->installEventFilter(impl->filter);
    }
  }
  impl->image = std::make_unique<QImage>(impl->client->size().expandedTo(QSize(0, 0)), QImage::Format_RGB32);
  if (!impl->image->isNull())
    impl->image->fill(systemWindowColor());

  try {
    SetupWindow();
    if (TApplication* app = GetApplication())
      app->ResumeThrow();
  } catch (...) {
    Destroy();
    throw;
  }
  if (Attr.Style & WS_VISIBLE) {
    HWindow->show();
    if (TApplication* app = GetApplication())
      app->ResumeThrow();
  }
  return true;
}

void TWindow::SetupWindow() {
  for (TWindow* child : std::vector<TWindow*>(children))
    child->Create();
}

void TWindow::CleanupWindow() {}

void TWindow::Show(int cmdShow) {
  if (!HWindow)
    return;
  switch (cmdShow) {
    case SW_HIDE: HWindow->hide(); break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED: HWindow->showMinimized(); break;
    case SW_SHOWMAXIMIZED: HWindow->showMaximized(); break;
    default:
      if (!HWindow->isVisible())
        HWindow->show();
      break;
  }
}

void TWindow::Destroy(int) {
  if (!HWindow)
    return;
  try {
    HandleMessage(WM_DESTROY);
  } catch (...) {
    FinishDestroy();
    throw;
  }
  FinishDestroy();
}

void TWindow::FinishDestroy() {
  std::exception_ptr error;
  for (TWindow* child : std::vector<TWindow*>(children)) {
    try {
      child->Destroy();
    } catch (...) {
      if (!error)
        error = std::current_exception();
    }
  }
  impl->Detach();
  HWindow = nullptr;
  if (TApplication* app = GetApplication())
    app->PurgeMessages(this);
  if (error)
    std::rethrow_exception(error);
}

bool TWindow::CanClose() {
  for (TWindow* child : std::vector<TWindow*>(children)) {
    if (!child->CanClose())
      return false;
  }
  return true;
}

void TWindow::CloseWindow(int retVal) {
  TApplication* app = GetApplication();
  const bool mayClose = IsFlagSet(wfMainWindow) && app ? app->CanClose() : CanClose();
  if (mayClose)
    Destroy(retVal);
}

bool TWindow::IdleAction(long idleCount) {
  for (TWindow* child : std::vector<TWindow*>(children))
    child->IdleAction(idleCount);
  return false;
}

bool TWindow::PreProcessMsg(TMsg&) { return false; }

LRESULT TWindow::HandleMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  struct FlushAfter {
    TWindow* window;
    ~FlushAfter() { window->Flush(); }
  } flushAfter{this};
  if (msg == WM_COMMAND)
    return EvCommand(LoWord(wParam), lParam, HiWord(wParam));
  LRESULT result = 0;
  if (FindAndDispatch(msg, 0, wParam, lParam, result))
    return result;
  return DefWindowProc(msg, wParam, lParam);
}

LRESULT TWindow::DefWindowProc(unsigned msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_PAINT:
      BeginPaint();
      EndPaint();
      return 0;
    case WM_ERASEBKGND:
      eraseRegion(clientSurface, *impl->image, impl->paintRegion, systemWindowColor());
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
  if (Find(info))
    return Dispatch(info, static_cast<WPARAM>(id), control);
  if (TApplication* app = GetApplication()) {
    LRESULT result = 0;
    if (app->FindAndDispatch(notifyCode, id, static_cast<WPARAM>(id), control, result))
      return result;
  }
  return DefWindowProc(WM_COMMAND, id, control);
}

bool TWindow::CommandEnabled(unsigned id) {
  TCommandEnabler enabler(id);
  TApplication* app = GetApplication();
  LRESULT ignored = 0;
  const LPARAM arg = reinterpret_cast<LPARAM>(&enabler);
  for (TWindow* w = this; w; w = w->Parent) {
    if (w->FindAndDispatch(WM_COMMAND_ENABLE, id, 0, arg, ignored) && enabler.WasHandled())
      return enabler.IsEnabled();
  }
  if (app && app->FindAndDispatch(WM_COMMAND_ENABLE, id, 0, arg, ignored) && enabler.WasHandled())
    return enabler.IsEnabled();
  for (TWindow* w = this; w; w = w->Parent) {
    TEventInfo info(0, id);
    if (w->Find(info))
      return true;
  }
  TEventInfo info(0, id);
  return app && app->Find(info);
}

bool TWindow::PostMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  TApplication* app = GetApplication();
  return HWindow && app && app->PostMessage(this, msg, wParam, lParam);
}

LRESULT TWindow::DeliverMessage(unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (TApplication* app = GetApplication())
    app->NoteDelivery();
  return HandleMessage(msg, wParam, lParam);
}

bool TWindow::PostAfterEvents(unsigned msg, WPARAM wParam) {
  if (!HWindow || !impl->client)
    return false;
  QCoreApplication::postEvent(impl->client, new LaterEvent(msg, wParam));
  return true;
}

bool TWindow::SetTimer(unsigned id, unsigned ms) {
  if (!HWindow || !impl->client)
    return false;
  KillTimer(id);
  const int interval = static_cast<int>(std::clamp<unsigned>(ms, 10u, static_cast<unsigned>(INT_MAX)));
  const int qtId = impl->client->startTimer(interval, Qt::PreciseTimer);
  if (qtId == 0)
    return false;
  impl->timers[id] = qtId;
  return true;
}

bool TWindow::KillTimer(unsigned id) {
  auto it = impl->timers.find(id);
  if (it == impl->timers.end())
    return false;
  if (impl->client)
    impl->client->killTimer(it->second);
  impl->timers.erase(it);
  return true;
}

QImage& TWindow::ClientImage() { return *impl->image; }

void TWindow::ClientImageReplaced(QImage&) {}

void TWindow::FirstExposed() {}

TRect TWindow::GetClientRect() const {
  const TSize size = GetClientSize();
  return TRect{0, 0, size.cx, size.cy};
}

TSize TWindow::GetClientSize() const {
  if (!impl->client)
    return {};
  return TSize{impl->client->width(), impl->client->height()};
}

void TWindow::Invalidate(bool erase) { InvalidateRect(GetClientRect(), erase); }

void TWindow::InvalidateRect(const TRect& rect, bool erase) {
  if (!impl->client)
    return;
  const QRect r = toQRect(rect, impl->client->rect());
  if (r.isEmpty())
    return;
  impl->update += r;
  impl->erasePending = impl->erasePending || erase;
  impl->SchedulePaint();
}

void TWindow::UpdateWindow() {
  if (!impl->update.isEmpty()) {
    DeliverMessage(WM_PAINT);
  }
}

TRect TWindow::BeginPaint() {
  impl->paintRegion = impl->update;
  impl->update = QRegion();
  if (impl->erasePending) {
    impl->erasePending = false;
    HandleMessage(WM_ERASEBKGND);
  }
  const QRect bounds = impl->paintRegion.boundingRect();
  return bounds.isEmpty() ? TRect{} : TRect{bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1};
}

void TWindow::EndPaint() {
  if (impl->client && !impl->paintRegion.isEmpty())
    impl->client->update(impl->paintRegion);
  impl->paintRegion = QRegion();
}

void TWindow::Flush() {
  if (impl->client)
    impl->client->update();
}

bool TWindow::EvEraseBkgnd() {
  if (BkgndColor == NoColor)
    return DefWindowProc(WM_ERASEBKGND, 0, 0) != 0;
  if (BkgndColor != NoErase)
    eraseRegion(clientSurface, *impl->image, impl->paintRegion, ToQRgb(BkgndColor));
  return true;
}

int TWindow::MessageBox(const char* text, const char* caption, unsigned type) {
  return ShowMessageBox(text, caption, type);
}

void TWindow::SetCaption(const char* title) {
  Title = title ? title : "";
  if (impl->top)
    impl->top->setWindowTitle(DecodeTextBytes(Title));
}

void TWindow::SetMenuBar(QMenuBar* menuBar) {
  if (impl->layout)
    impl->layout->setMenuBar(menuBar);
}

QWidget* TWindow::TopLevelWidget() const { return impl->top; }

void TWindow::AttachFrame() {}

void TWindow::EvClose() {
  CloseWindow(0);
  if (!HWindow && IsFlagSet(wfDeleteOnClose)) {
    if (TApplication* app = GetApplication())
      app->Condemn(this);
  }
}

void TWindow::CmExit() {
  if (IsFlagSet(wfMainWindow))
    CloseWindow(0);
  else
    DefWindowProc(WM_COMMAND, CM_EXIT, 0);
}

bool TWindow::EvQueryEndSession() {
  TApplication* app = GetApplication();
  return IsFlagSet(wfMainWindow) && app ? app->CanClose() : CanClose();
}

void TWindow::EvDestroy() {
  CleanupWindow();
  TApplication* app = GetApplication();
  if (IsFlagSet(wfMainWindow) && app && app->IsRunning())
    app->PostQuitMessage(app->Status);
}

void TWindow::EvPaint() { TPaintDC dc(*this); }

void TWindow::EvSize(unsigned, const TSize&) {}
