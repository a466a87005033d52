// The window's Qt side: its widgets, the events they pass on, the backing
// image's replacement and the copy to the screen.

#include <QCloseEvent>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QTimer>
#include <QWindow>

#include "framework/application/QtApplication.h"
#include "framework/application/TScheduler.h"
#include "framework/surface/ColorValue.h"
#include "framework/window/TWindowImpl.h"

std::uint32_t SystemWindowColor() { return FromQRgb(QGuiApplication::palette().color(QPalette::Base).rgb()); }

QEvent::Type PaintCycleEventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QEvent::Type LaterEvent::Type() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

// --- Widgets ---------------------------------------------------------------

TWindow::Impl::ClientWidget::ClientWidget(Impl* impl, QWidget* parent) : QWidget(parent), impl(impl) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

void TWindow::Impl::ClientWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect r = event->rect();
  if (!impl || impl->area.Image().isNull()) {
    painter.fillRect(r, ToQColor(SystemWindowColor()));
    return;
  }
  // The image holds device pixels: the source is the same part of it at
  // its own ratio.
  const double ratio = impl->area.Ratio();
  painter.drawImage(QRectF(r), impl->area.Image(),
                    QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void TWindow::Impl::ClientWidget::resizeEvent(QResizeEvent* event) {
  if (impl) GuardedCall([this, event] { impl->Resized(event->size()); });
}

void TWindow::Impl::ClientWidget::timerEvent(QTimerEvent* event) {
  if (impl) GuardedCall([this, event] { impl->Timer(event->timerId()); });
}

bool TWindow::Impl::ClientWidget::event(QEvent* event) {
  if (event->type() == PaintCycleEventType()) {
    if (impl) GuardedCall([this] { impl->PaintCycle(); });
    return true;
  }
  if (event->type() == LaterEvent::Type()) {
    if (impl) {
      const auto* later = static_cast<LaterEvent*>(event);
      GuardedCall([this, later] { impl->Later(later->msg, later->wParam); });
    }
    return true;
  }
  return QWidget::event(event);
}

void TWindow::Impl::TopWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (impl) {
    TWindow* owner = impl->owner;
    GuardedCall([owner] { owner->DeliverMessage(WM_CLOSE); });
  }
}

bool TWindow::Impl::ExposeFilter::eventFilter(QObject* watched, QEvent* event) {
  if (impl && event->type() == QEvent::Expose) {
    auto* window = static_cast<QWindow*>(watched);
    if (window->isExposed()) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
      // Logical pixels of the window, like the widgets' coordinates.
      const QRegion region = static_cast<QExposeEvent*>(event)->region();
#pragma GCC diagnostic pop
      GuardedCall([this, region] { impl->Exposed(region); });
    }
  }
  return false;  // Qt still flushes the widgets
}

// --- Impl ------------------------------------------------------------------

void TWindow::Impl::SchedulePaint() {
  if (paintScheduled || !client) return;
  paintScheduled = true;
  QCoreApplication::postEvent(client, new QEvent(PaintCycleEventType()), Qt::LowEventPriority);
}

void TWindow::Impl::PaintCycle() {
  paintScheduled = false;
  TScheduler* scheduler = owner->GetScheduler();
  if (update.isEmpty() || (scheduler && scheduler->QuitTaken())) return;
  // A posted paint request paints the update region when it comes: one
  // paint cycle, not two.
  if (scheduler && scheduler->IsPosted(owner, WM_PAINT)) return;
  DeliverCyclePaint();
}

void TWindow::Impl::DeliverCyclePaint() {
  struct Reset {
    bool& flag;
    bool before;
    ~Reset() { flag = before; }
  } reset{cyclePaint, cyclePaint};
  cyclePaint = true;
  owner->DeliverMessage(WM_PAINT);
}

std::uint32_t TWindow::Impl::FillColor() const {
  const std::uint32_t color = owner->BkgndColor;
  return color == NoColor || color == NoErase ? SystemWindowColor() : color;
}

void TWindow::Impl::ReplaceImage(const QSize& size) {
  const double ratio = client ? client->devicePixelRatioF() : 1.0;
  if (size == area.LogicalSize() && ratio == area.Ratio() && !area.Image().isNull()) return;
  const QRegion uncovered = area.Resize(size, ratio, FillColor());
  update &= QRect(QPoint(0, 0), size);
  owner->ClientImageReplaced(area.Image());
  if (!uncovered.isEmpty()) {
    update += uncovered;
    erasePending = true;
    SchedulePaint();
  }
}

void TWindow::Impl::Resized(const QSize& size) {
  ReplaceImage(size);
  const unsigned kind = top && top->isMaximized()
                            ? SIZE_MAXIMIZED
                            : (top && top->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED);
  owner->DeliverMessage(WM_SIZE, kind, MakeLParam(size.width(), size.height()));
}

void TWindow::Impl::ScreenChanged() {
  if (!client) return;
  // Another ratio needs a new image; the whole area is then repainted.
  ReplaceImage(client->size());
}

void TWindow::Impl::Timer(int qtId) {
  for (const auto& [id, running] : timers) {
    if (running != qtId) continue;
    TScheduler* scheduler = owner->GetScheduler();
    if (scheduler && scheduler->HoldsDelivery()) return;  // the next tick comes later
    owner->DeliverMessage(WM_TIMER, id, 0);
    return;
  }
}

void TWindow::Impl::Later(unsigned msg, WPARAM wParam) {
  TScheduler* scheduler = owner->GetScheduler();
  if (scheduler && scheduler->HoldsDelivery()) {
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
  if (!client) return;
  const QWidget* window = client->window();
  const QPoint offset = client->mapTo(window, QPoint(0, 0));
  const QRegion region = windowRegion.translated(-offset) & client->rect();
  if (!region.isEmpty()) {
    update += region;
    erasePending = true;
    owner->UpdateWindow();
  }
  if (!firstExposure) {
    firstExposure = true;
    QPointer<ClientWidget> widget = client;
    QTimer::singleShot(0, client, [widget] {
      if (widget && widget->impl) GuardedCall([&widget] { widget->impl->owner->FirstExposed(); });
    });
  }
}

void TWindow::Impl::Flush() {
  const QRegion region = screenDue + area.TakeDrawn();
  screenDue = QRegion();
  if (client && !region.isEmpty()) client->update(region);
}

void TWindow::Impl::Detach() {
  for (const auto& [id, running] : timers) {
    if (client) client->killTimer(running);
  }
  timers.clear();
  if (client) client->impl = nullptr;
  if (top) top->impl = nullptr;
  if (filter) filter->impl = nullptr;
  QWidget* widget = top ? static_cast<QWidget*>(top) : static_cast<QWidget*>(client);
  if (widget) widget->hide();
  TQtApplication::Dispose(widget);
  area.TakeDrawn();  // nothing paints on the image any more
  top = nullptr;
  client = nullptr;
  layout = nullptr;
  filter = nullptr;
  update = QRegion();
  screenDue = QRegion();
  erasePending = false;
  paintScheduled = false;
}
