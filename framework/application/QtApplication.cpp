#include "framework/application/QtApplication.h"

#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#include "framework/application/QtMessageBox.h"
#include "framework/application/ScreenChoice.h"
#include "framework/application/TScheduler.h"
#include "framework/application/WaylandConnectionLoss.h"
#include "framework/application/X11ConnectionLoss.h"
#include "framework/report/ExceptionReport.h"

namespace {
// QT_QPA_PLATFORM as it was before the application object was made.
bool platformReplaced = false;
QByteArray previousPlatform;
bool hadPlatform = false;

// Runs before QApplication's constructor: Qt reads the platform from the
// environment there.
int& withScreenChosen(int& argc) {
  const ScreenChoice choice = ChooseScreen(ScreenEnvironment::Current(), ScreenProbes::Real());
  if (!choice.failure.empty()) throw TXNoScreen(choice.failure);
  if (!choice.platform.empty()) {
    hadPlatform = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    previousPlatform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(choice.platform));
    platformReplaced = true;
  }
  return argc;
}

// Puts the variable back, so that processes this one starts choose for
// themselves.
void restorePlatform() {
  if (!platformReplaced) return;
  platformReplaced = false;
  if (hadPlatform)
    qputenv("QT_QPA_PLATFORM", previousPlatform);
  else
    qunsetenv("QT_QPA_PLATFORM");
}

std::vector<QPointer<QWidget>>& disposed() {
  static std::vector<QPointer<QWidget>> list;
  return list;
}
int deliveryDepth = 0;
}  // namespace

TDeliveryScope::TDeliveryScope() { ++deliveryDepth; }
TDeliveryScope::~TDeliveryScope() { --deliveryDepth; }
bool TDeliveryScope::Active() { return deliveryDepth > 0; }

void SuspendCurrentException() noexcept {
  std::exception_ptr error = std::current_exception();
  try {
    if (TScheduler* scheduler = TScheduler::Current())
      scheduler->SuspendThrow(error);
    else
      ReportUnhandled(error, false);
  } catch (...) {
    // Nothing may leave a delivery; an exception that cannot even be kept
    // is dropped.
  }
}

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(withScreenChosen(argc), argv) {
  restorePlatform();
  UseQtMessageBoxes();
  if (auto* x11 = nativeInterface<QNativeInterface::QX11Application>())
    HandleX11ConnectionLoss(x11->connection());
  else if (platformName().startsWith(QLatin1String("wayland")))
    HandleWaylandConnectionLoss();
  setQuitOnLastWindowClosed(false);
}

TQtApplication::~TQtApplication() { DeleteDisposed(); }

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
  TDeliveryScope scope;
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    SuspendCurrentException();
  }
  return false;
}

QEvent::Type TQtApplication::PumpEventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

void TQtApplication::Wake() {
  if (QCoreApplication* app = QCoreApplication::instance())
    QCoreApplication::postEvent(app, new QEvent(PumpEventType()));
}

bool TQtApplication::event(QEvent* event) {
  if (event->type() == PumpEventType()) {
    // The main loop delivers the requests itself after each dispatch; a
    // modal loop (a message box) must deliver them here.
    if (QThread::currentThread()->loopLevel() > 0) {
      if (TScheduler* scheduler = TScheduler::Current())
        GuardedCall([scheduler] { scheduler->DeliverNested(); });
    }
    return true;
  }
  return QApplication::event(event);
}

void TQtApplication::Dispose(QWidget* widget) {
  if (!widget) return;
  if (TDeliveryScope::Active())
    disposed().emplace_back(widget);
  else
    delete widget;
}

void TQtApplication::DeleteDisposed() {
  if (TDeliveryScope::Active()) return;
  std::vector<QPointer<QWidget>> list;
  list.swap(disposed());
  for (QPointer<QWidget>& widget : list) delete widget.data();
}
