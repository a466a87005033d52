#pragma once
// The part of a window that lives in the window system: its Qt widgets,
// its client area, its update region and its timers. Private to the
// framework's window code (TWindow.cpp and TWindowWidgets.cpp).

#include <QEvent>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <map>

#include "framework/window/TClientArea.h"
#include "framework/window/TWindow.h"

class QVBoxLayout;

// The system's window colour, with which a window without a background
// colour of its own is erased (0x00BBGGRR).
std::uint32_t SystemWindowColor();

// The event that runs a window's paint cycle, queued behind everything
// more urgent.
QEvent::Type PaintCycleEventType();

// A request that waits behind the events already queued (PostAfterEvents).
class LaterEvent : public QEvent {
public:
  LaterEvent(unsigned msg, WPARAM wParam) : QEvent(Type()), msg(msg), wParam(wParam) {}
  static QEvent::Type Type();
  const unsigned msg;
  const WPARAM wParam;
};

struct TWindow::Impl {
  class ClientWidget;
  class TopWidget;
  class ExposeFilter;

  explicit Impl(TWindow* owner) : owner(owner) {}

  TWindow* owner;
  QPointer<TopWidget> top;        // top-level windows only
  QPointer<ClientWidget> client;  // the client area's widget
  QVBoxLayout* layout = nullptr;
  ExposeFilter* filter = nullptr;
  TClientArea area;
  QRegion update;  // logical pixels
  bool erasePending = false;
  bool paintScheduled = false;
  bool cyclePaint = false;         // WM_PAINT comes from the paint cycle
  QRegion paintRegion;             // between BeginPaint and EndPaint
  QRegion screenDue;               // painted, not yet copied to the screen
  int handling = 0;                // HandleMessage calls under way
  std::map<unsigned, int> timers;  // program id -> Qt timer id
  bool firstExposure = false;

  void SchedulePaint();
  void PaintCycle();
  // Delivers WM_PAINT as the paint cycle's own (PaintFromCycle).
  void DeliverCyclePaint();
  // The client widget changed size or screen: a new backing image when the
  // size or the device pixel ratio differ, then WM_SIZE for a size.
  void Resized(const QSize& size);
  void ScreenChanged();
  void Timer(int qtId);
  void Later(unsigned msg, WPARAM wParam);
  void Exposed(const QRegion& windowRegion);
  // Copies what was drawn and painted since the last time to the screen.
  void Flush();
  void Detach();

  // Replaces the backing image and invalidates what it could not keep.
  void ReplaceImage(const QSize& size);
  std::uint32_t FillColor() const;
};

// The client area on the screen: shows the backing image and passes
// resizing, timers and the framework's own events to the window.
class TWindow::Impl::ClientWidget : public QWidget {
public:
  ClientWidget(Impl* impl, QWidget* parent);
  Impl* impl;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool event(QEvent* event) override;
};

// A top-level window: holds the menu bar and the client widget.
class TWindow::Impl::TopWidget : public QWidget {
public:
  explicit TopWidget(Impl* impl) : impl(impl) {}
  Impl* impl;

protected:
  // The system close command becomes a close request; the window goes only
  // if the request destroys it.
  void closeEvent(QCloseEvent* event) override;
};

// Watches the platform window for exposures (and their regions).
class TWindow::Impl::ExposeFilter : public QObject {
public:
  explicit ExposeFilter(Impl* impl) : impl(impl) {}
  Impl* impl;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
