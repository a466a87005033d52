#include "framework/application/TTerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "framework/application/ExitHook.h"
#include "framework/application/QtApplication.h"
#include "framework/application/TApplication.h"
#include "framework/window/TFrameWindow.h"

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

std::atomic<int> pipeWriteEnd{-1};
std::atomic<bool> signalTaken{false};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "used in a signal handler");

extern "C" void onTerminationSignal(int signo) {
  const int savedErrno = errno;
  if (signalTaken.exchange(true)) {
    // The first one did not end the process soon enough: end it now.
    RunExitHook();
    ::_exit(1);
  }
  const unsigned char byte = static_cast<unsigned char>(signo);
  const int fd = pipeWriteEnd.load();
  if (fd >= 0) {
    ssize_t ignored = ::write(fd, &byte, 1);
    (void)ignored;
  }
  errno = savedErrno;
}

}  // namespace

struct TTerminationSignals::Impl {
  int pipeEnds[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
  struct sigaction previous[kSignalCount] = {};
  bool caught[kSignalCount] = {};
};

TTerminationSignals::TTerminationSignals() : impl(std::make_unique<Impl>()) {
  if (::pipe2(impl->pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
    return;  // no pipe: the signals keep their default actions
  impl->notifier = std::make_unique<QSocketNotifier>(impl->pipeEnds[0], QSocketNotifier::Read);
  const int readEnd = impl->pipeEnds[0];
  QObject::connect(impl->notifier.get(), &QSocketNotifier::activated, [readEnd] {
    unsigned char bytes[16];
    while (::read(readEnd, bytes, sizeof bytes) > 0) {
    }
    GuardedCall([] { EndSession(); });
  });
  signalTaken.store(false);
  pipeWriteEnd.store(impl->pipeEnds[1]);

  struct sigaction action = {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  for (int signo : kSignals) sigaddset(&action.sa_mask, signo);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kSignalCount; ++i) {
    if (::sigaction(kSignals[i], nullptr, &impl->previous[i]) != 0 || impl->previous[i].sa_handler == SIG_IGN)
      continue;  // ignored from the start: stays ignored
    impl->caught[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

TTerminationSignals::~TTerminationSignals() {
  for (int i = 0; i < kSignalCount; ++i) {
    if (impl->caught[i]) ::sigaction(kSignals[i], &impl->previous[i], nullptr);
  }
  pipeWriteEnd.store(-1);
  impl->notifier.reset();
  for (int fd : impl->pipeEnds) {
    if (fd >= 0) ::close(fd);
  }
}

void TTerminationSignals::EndSession() {
  TApplication* app = TApplication::Current();
  TFrameWindow* main = app ? app->GetMainWindow() : nullptr;
  if (main && main->HWindow) {
    DismissModalBoxes();
    main->PostMessage(WM_CLOSE);
    return;
  }
  // Before the main window exists there is nothing to close.
  if (!main && !(app && app->IsRunning())) std::exit(1);
  // The main window is gone (closed, or its creation failed) and the run is
  // ending already: only the boxes stand in its way.
  DismissModalBoxes();
}

void TTerminationSignals::DismissModalBoxes() {
  // Each pass closes the innermost box; a box that will not go ends the
  // passes rather than looping.
  while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
    dialog->done(DismissCode(dialog));
    if (QApplication::activeModalWidget() == dialog) break;
  }
}

int TTerminationSignals::DismissCode(QDialog* dialog) {
  if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
    if (QPushButton* button = box->defaultButton()) {
      const QMessageBox::StandardButton standard = box->standardButton(button);
      if (standard != QMessageBox::NoButton) return standard;
    }
  }
  return QDialog::Rejected;
}
