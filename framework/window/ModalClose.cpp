#include "framework/window/ModalClose.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QWidget>
#include <cstdlib>

#include "framework/application/QtApplication.h"
#include "framework/application/TTerminationSignals.h"
#include "framework/window/TWindow.h"

namespace {

constexpr char kFilterName[] = "zorva-close-while-modal";

// A child of the application, so that it goes with it.
class CloseWhileModal : public QObject, public QAbstractNativeEventFilter {
public:
  CloseWhileModal(xcb_connection_t* connection, QObject* app) : QObject(app) {
    setObjectName(kFilterName);
    const char name[] = "WM_DELETE_WINDOW";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (reply) {
      deleteAtom = reply->atom;
      std::free(reply);
    }
  }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (deleteAtom == XCB_ATOM_NONE || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    const auto* request = reinterpret_cast<const xcb_client_message_event_t*>(event);
    if (request->format != 32 || request->data.data32[0] != deleteAtom) return false;
    if (!QApplication::activeModalWidget()) return false;  // Qt delivers it itself
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      TWindow* owner = TWindow::OwnerOf(widget);
      if (!owner || widget->winId() != request->window) continue;
      GuardedCall([owner] {
        TTerminationSignals::DismissModalBoxes();
        owner->PostMessage(WM_CLOSE);
      });
      return true;
    }
    return false;
  }

private:
  xcb_atom_t deleteAtom = XCB_ATOM_NONE;
};

}  // namespace

void WatchCloseWhileModal() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return;
  if (app->findChild<CloseWhileModal*>(kFilterName, Qt::FindDirectChildrenOnly)) return;
  app->installNativeEventFilter(new CloseWhileModal(x11->connection(), app));
}
