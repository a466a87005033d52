#pragma once
// A top-level window with a menu bar and the program's icon. Defaults: style
// WS_OVERLAPPEDWINDOW | WS_VISIBLE (0x10CF0000), position and size chosen by
// the system (x and width CW_USEDEFAULT), icon resource 32000.
//
// Menu items are enabled when their drop-down is about to open: an item is
// enabled when a command row for its id exists in the window's tables or the
// application's (or a command-enabling row says so), greyed otherwise. A
// command that arrives for an item found disabled at that moment is ignored.

#include <memory>

#include "framework/window/TWindow.h"

class QAction;
template <typename T>
class QList;

class TFrameWindow : public TWindow {
public:
  explicit TFrameWindow(const char* title = nullptr);
  ~TFrameWindow() override;

  bool Find(TEventInfo& info) override;

  // Names the menu resource (resources/<name>.menu) loaded when the window
  // is created; on a window that exists, replaces its menu at once. Raises
  // TXMenu (32744) there if the resource does not exist.
  bool AssignMenu(const char* menuName);
  // With a count of 0, refreshes the enabled state of the menu bar's own
  // command items. Always false.
  bool IdleAction(long idleCount) override;

  // WM_PAINT: validates the update region (erasing it first when erasing is
  // pending) with one BeginPaint/EndPaint pair.
  void EvPaint();
  // WM_SIZE.
  void EvSize(unsigned sizeType, const TSize& size);

  unsigned IconResId = 32000;

protected:
  void AttachFrame() override;

private:
  void RefreshItems(const QList<QAction*>& actions);
  void RefreshBar();
  static const TResponseTableEntry Responses[];

  struct MenuState;
  std::unique_ptr<MenuState> menu;
};
