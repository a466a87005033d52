#include "framework/window/TFrameWindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>

#include "framework/application/QtApplication.h"
#include "framework/resources/TResources.h"
#include "base/TextBytes.h"
#include "framework/resources/TMenu.h"

struct TFrameWindow::MenuState {
  QPointer<QMenuBar> bar;
  // The receiver of the menu's signals: deleting it disconnects them all.
  std::unique_ptr<QObject> context;
};

namespace {
// Ids at which the enabling of a drop-down stops: the window list and the
// system commands.
bool endsEnabling(unsigned id) { return id == 32001 || id > 61440; }
}  // namespace

const TResponseTableEntry TFrameWindow::Responses[] = {
    {WM_PAINT, 0, v_Dispatch<&TFrameWindow::EvPaint>},
    {WM_SIZE, 0, v_U_POINT_Dispatch<&TFrameWindow::EvSize>},
    {0, 0, nullptr},
};

bool TFrameWindow::Find(TEventInfo& info) { return SearchEntries(Responses, info) || TWindow::Find(info); }

TFrameWindow::TFrameWindow(const char* title) : TWindow(title), menu(std::make_unique<MenuState>()) {
  Attr.Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  Attr.X = CW_USEDEFAULT;
  Attr.Y = 0;
  Attr.W = CW_USEDEFAULT;
  Attr.H = 0;
}

TFrameWindow::~TFrameWindow() { menu->context.reset(); }

bool TFrameWindow::AssignMenu(const char* menuName) {
  Attr.Menu = menuName ? menuName : "";
  if (HWindow && TopLevelWidget()) AttachFrame();
  return true;
}

void TFrameWindow::AttachFrame() {
  QWidget* top = TopLevelWidget();
  if (!top) return;
  if (const std::string icon = TResources::IconPath(IconResId); !icon.empty())
    top->setWindowIcon(QIcon(QString::fromStdString(icon)));
  if (Attr.Menu.empty()) return;
  const std::vector<TMenuItem> items = TMenu::Load(Attr.Menu);

  menu->context = std::make_unique<QObject>();
  QObject* context = menu->context.get();
  auto* bar = new QMenuBar(top);
  auto addItems = [this, context](auto& self, auto* target, const std::vector<TMenuItem>& list) -> void {
    for (const TMenuItem& item : list) {
      switch (item.kind) {
        case TMenuItem::Popup: {
          QMenu* sub = target->addMenu(DecodeTextBytes(item.text));
          QObject::connect(sub, &QMenu::aboutToShow, context,
                           [this, sub] { GuardedCall([this, sub] { RefreshItems(sub->actions()); }); });
          self(self, sub, item.items);
          break;
        }
        case TMenuItem::Separator:
          target->addSeparator();
          break;
        case TMenuItem::Command: {
          QAction* action = target->addAction(DecodeTextBytes(item.text));
          action->setData(item.id);
          QList<QKeySequence> keys;
          for (const std::string& key : item.keys)
            keys.append(QKeySequence(QString::fromStdString(key), QKeySequence::PortableText));
          action->setShortcuts(keys);
          const unsigned id = item.id;
          QObject::connect(action, &QAction::triggered, context, [this, id] {
            GuardedCall([this, id] {
              // The state shown may be stale when the command came from the
              // keyboard: check again.
              if (!HWindow || !CommandEnabled(id)) return;
              DeliverMessage(WM_COMMAND, id, 0);
            });
          });
          break;
        }
      }
    }
  };
  addItems(addItems, bar, items);
  if (menu->bar) TQtApplication::Dispose(menu->bar);
  menu->bar = bar;
  SetMenuBar(bar);
}

void TFrameWindow::RefreshItems(const QList<QAction*>& actions) {
  for (QAction* action : actions) {
    if (action->isSeparator() || action->menu()) continue;
    const unsigned id = action->data().toUInt();
    if (endsEnabling(id)) break;
    TCommandEnabler::CheckState check = TCommandEnabler::NoCheck;
    action->setEnabled(CommandEnabled(id, &check));
    action->setCheckable(check != TCommandEnabler::NoCheck);
    action->setChecked(check == TCommandEnabler::Checked);
  }
}

void TFrameWindow::RefreshBar() {
  if (menu->bar) RefreshItems(menu->bar->actions());
}

bool TFrameWindow::IdleAction(long idleCount) {
  if (idleCount == 0 && QGuiApplication::focusWindow()) RefreshBar();
  return TWindow::IdleAction(idleCount);
}

void TFrameWindow::EvPaint() { TWindow::EvPaint(); }

void TFrameWindow::EvSize(unsigned sizeType, const TSize& size) { TWindow::EvSize(sizeType, size); }
