#include "framework/application/WaylandConnectionLoss.h"

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstring>

#include "framework/application/ExitHook.h"

namespace {

std::atomic<QtMessageHandler> previous{nullptr};
std::atomic<bool> installed{false};

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && IsWaylandConnectionLoss(message.toUtf8().constData())) RunExitHook();
  if (QtMessageHandler next = previous.load()) next(type, context, message);
}

}  // namespace

bool IsWaylandConnectionLoss(const char* message) {
  return message && (std::strncmp(message, "The Wayland connection broke", 28) == 0 ||
                     std::strncmp(message, "The Wayland connection experienced a fatal error", 48) == 0);
}

void HandleWaylandConnectionLoss() {
  if (installed.exchange(true)) return;
  previous.store(qInstallMessageHandler(onMessage));
}
