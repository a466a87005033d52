#pragma once
// The window system's application object as the framework needs it
// (framework internal). Qt cannot carry an exception through its event
// dispatch, so every delivery is guarded: an exception that leaves a handler
// is handed to the current scheduler's SuspendThrow (TScheduler.h), and the
// main loop raises it again after the dispatch.

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <vector>

class QWidget;

class TQtApplication : public QApplication {
public:
  // Connects to the display chosen by ChooseScreen (framework/ScreenChoice.h);
  // raises TXNoScreen, before Qt tries anything, when none answers.
  TQtApplication(int& argc, char** argv);
  ~TQtApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;

  // The event that wakes the loop for a posted request.
  static QEvent::Type PumpEventType();
  // Posts one wake-up for the loop.
  static void Wake();

  // Deletes a widget now, or, inside a delivery, once the delivery is over
  // (a widget must not be deleted under its own event handler).
  static void Dispose(QWidget* widget);
  static void DeleteDisposed();

protected:
  bool event(QEvent* event) override;
};

// Counts the deliveries in progress (Qt's and the framework's own), so that
// a widget is never deleted under its own event handler.
class TDeliveryScope {
public:
  TDeliveryScope();
  ~TDeliveryScope();
  TDeliveryScope(const TDeliveryScope&) = delete;
  TDeliveryScope& operator=(const TDeliveryScope&) = delete;
  static bool Active();
};

void SuspendCurrentException() noexcept;

// Runs `call` as a delivery from Qt, keeping any exception for the current
// scheduler's ResumeThrow (or, with none, reporting it at once).
template <class F>
void GuardedCall(F&& call) noexcept {
  TDeliveryScope scope;
  try {
    call();
  } catch (...) {
    SuspendCurrentException();
  }
}
