#include "framework/application/FileWatch.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <string>

#include "framework/application/QtApplication.h"

namespace {
std::atomic<bool> watchesEnabled{true};
}  // namespace

struct TFileWatch::Impl {
  ~Impl();

  int notifyFd = -1;  // the notification descriptor; -1 when not watching
  QSocketNotifier* notifier = nullptr;
  std::function<void()> onChange;
  // While the notifier's signal runs, onChange may stop or destroy the watch
  // under it, and the notifier must outlive its own emission.
  bool dispatching = false;
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);

  void Close();
  void Activated();
  // Reads every queued event; whether there was any. A descriptor that
  // fails otherwise than by being empty is closed: the watch ends quietly.
  bool Drain();
};

TFileWatch::Impl::~Impl() {
  *alive = false;
  Close();
}

void TFileWatch::Impl::Close() {
  if (notifier) {
    notifier->setEnabled(false);
    if (dispatching)
      notifier->deleteLater();
    else
      delete notifier;
    notifier = nullptr;
  }
  if (notifyFd >= 0) ::close(notifyFd);
  notifyFd = -1;
}

bool TFileWatch::Impl::Drain() {
  // Events of one watch without names: any buffer that holds one event
  // reads them all in a few calls.
  alignas(inotify_event) char buf[4096];
  bool any = false;
  for (;;) {
    const ssize_t got = ::read(notifyFd, buf, sizeof buf);
    if (got > 0) {
      any = true;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return any;
    Close();  // never readable again without events: do not spin on it
    return any;
  }
}

void TFileWatch::Impl::Activated() {
  const std::shared_ptr<bool> stillAlive = alive;
  dispatching = true;
  if (notifyFd >= 0 && Drain() && onChange) {
    // A copy: the call may replace the watch and with it onChange.
    const std::function<void()> call = onChange;
    GuardedCall(call);
  }
  if (*stillAlive) dispatching = false;
}

TFileWatch::TFileWatch() : impl(std::make_unique<Impl>()) {}

TFileWatch::~TFileWatch() = default;

bool TFileWatch::Watch(int fd, std::function<void()> onChange) {
  Stop();
  // A number that is not open would be taken by the notification descriptor
  // itself, and the watch would follow that.
  if (!watchesEnabled || fd < 0 || ::fcntl(fd, F_GETFD) < 0 || !QCoreApplication::instance()) return false;
  const int notifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (notifyFd < 0) return false;
  // The descriptor's entry in /proc leads to the file it holds open, even
  // after its name was renamed, unlinked or reused.
  const std::string held = "/proc/self/fd/" + std::to_string(fd);
  if (::inotify_add_watch(notifyFd, held.c_str(), IN_MODIFY) < 0) {
    ::close(notifyFd);
    return false;
  }
  impl->notifyFd = notifyFd;
  impl->onChange = std::move(onChange);
  impl->notifier = new QSocketNotifier(notifyFd, QSocketNotifier::Read);
  Impl* watch = impl.get();
  QObject::connect(impl->notifier, &QSocketNotifier::activated, impl->notifier,
                   [watch] { watch->Activated(); });
  return true;
}

void TFileWatch::Stop() {
  impl->Close();
  impl->onChange = nullptr;
}

bool TFileWatch::IsWatching() const { return impl->notifyFd >= 0; }

#ifdef ZORVA_TEST_HOOKS
void TFileWatch::SetEnabled(bool on) { watchesEnabled = on; }
#endif
