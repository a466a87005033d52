// The window's Qt side: its widgets, the events they pass on, the backing
// image's replacement and the copy to the screen.

#include <QCloseEvent>
#include <QExposeEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <utility>
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
  setMouseTracking(true);  // moves come also with no button held
}

void TWindow::Impl::ClientWidget::mouse(unsigned msg, QMouseEvent* event) {
  if (!impl) return;
  const QPoint p = event->position().toPoint();
  const Qt::KeyboardModifiers mods = event->modifiers();
  const unsigned keys = ((event->buttons() & Qt::LeftButton) ? MK_LBUTTON : 0u) |
                        ((mods & Qt::ShiftModifier) ? MK_SHIFT : 0u) | ((mods & Qt::ControlModifier) ? MK_CONTROL : 0u);
  TWindow* owner = impl->owner;
  GuardedCall([owner, msg, keys, p] { owner->DeliverMessage(msg, keys, MakeLParam(p.x(), p.y())); });
}

void TWindow::Impl::ClientWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) mouse(WM_LBUTTONDOWN, event);
}

void TWindow::Impl::ClientWidget::mouseMoveEvent(QMouseEvent* event) { mouse(WM_MOUSEMOVE, event); }

void TWindow::Impl::ClientWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) mouse(WM_LBUTTONUP, event);
}

void TWindow::Impl::ClientWidget::wheelEvent(QWheelEvent* event) {
  if (!impl) return;
  const QPoint p = event->position().toPoint();
  const int turn = std::clamp(event->angleDelta().y(), -32768, 32767);
  const unsigned keys = (event->modifiers() & Qt::ControlModifier) ? MK_CONTROL : 0u;
  const WPARAM wParam = keys | (static_cast<WPARAM>(static_cast<std::uint16_t>(turn)) << 16);
  TWindow* owner = impl->owner;
  GuardedCall([owner, wParam, p] { owner->DeliverMessage(WM_MOUSEWHEEL, wParam, MakeLParam(p.x(), p.y())); });
  event->accept();
}

void TWindow::Impl::ClientWidget::leaveEvent(QEvent*) {
  if (!impl) return;
  TWindow* owner = impl->owner;
  GuardedCall([owner] { owner->DeliverMessage(WM_MOUSELEAVE, 0, 0); });
}

void TWindow::Impl::ClientWidget::paintOverlay(QPainter& painter) {
  const TOverlay& o = impl->overlay;
  if (!o.crosshair && o.label.empty()) return;
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (o.crosshair) {
    // Dark edges around a light line stay visible over any picture.
    for (const auto& [colour, width] : {std::pair{QColor(0, 0, 0, 160), 3}, std::pair{QColor(255, 255, 160), 1}}) {
      painter.setPen(QPen(colour, width));
      painter.drawLine(0, o.at.y, this->width(), o.at.y);
      painter.drawLine(o.at.x, 0, o.at.x, this->height());
    }
  }
  if (!o.label.empty()) {
    const QString text = QString::fromUtf8(o.label.c_str());
    const QFontMetrics metrics = painter.fontMetrics();
    QRect box = metrics.boundingRect(text).adjusted(-4, -2, 4, 2);
    // Beside the point, moved inside the client area.
    box.moveTopLeft(QPoint(o.at.x + 12, o.at.y + 12));
    if (box.right() >= this->width()) box.moveRight(o.at.x - 12);
    if (box.bottom() >= this->height()) box.moveBottom(o.at.y - 12);
    box.moveLeft(std::max(0, box.left()));
    box.moveTop(std::max(0, box.top()));
    painter.fillRect(box, QColor(255, 255, 210));
    painter.setPen(QColor(0, 0, 0));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(box, Qt::AlignCenter, text);
  }
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
  paintOverlay(painter);
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

TWindow* TWindow::OwnerOf(const QWidget* widget) {
  const auto* top = dynamic_cast<const Impl::TopWidget*>(widget);
  return top && top->impl ? top->impl->owner : nullptr;
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
