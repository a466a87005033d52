#pragma once
// Response tables: every class that receives events keeps a static table of
// rows (message number, command id, dispatcher) and overrides Find to search
// its own table first and then its base class's.
//
// A class declares its table and Find:
//
//   class TMyWindow : public TFrameWindow {
//   public:
//     bool Find(TEventInfo& info) override;
//   private:
//     void EvTimer(unsigned timerId);
//     void EvPaint();
//     void EvSize(unsigned sizeType, const TSize& size);
//     void About();
//     static const TResponseTableEntry Responses[];
//   };
//
// and defines them:
//
//   const TResponseTableEntry TMyWindow::Responses[] = {
//       {WM_TIMER, 0, v_WPARAM_Dispatch<&TMyWindow::EvTimer>},
//       {WM_PAINT, 0, v_Dispatch<&TMyWindow::EvPaint>},
//       {WM_SIZE, 0, v_U_POINT_Dispatch<&TMyWindow::EvSize>},
//       {0, 24346, v_Dispatch<&TMyWindow::About>},  // a menu command row
//       {0, 0, nullptr},                             // the end of the table
//   };
//   bool TMyWindow::Find(TEventInfo& info) {
//     return SearchEntries(Responses, info) || TFrameWindow::Find(info);
//   }
//
// A message row has the message number and id 0. A command row has the
// notification code 0 as its number and the command id as its id. Rows are
// searched in order and the first whose number and id both match is taken.

#include <cstdint>

#include "framework/application/Messages.h"
#include "framework/window/Geometry.h"

class TEventHandler;

// Unpacks a message's parameters, calls the handler the dispatcher was made
// for on the object, and returns the message result.
using TDispatcher = LRESULT (*)(TEventHandler& object, WPARAM wParam, LPARAM lParam);

// One row. The handler is part of the dispatcher (v_Dispatch<&T::Handler>),
// which keeps every row type-checked against the handler's signature. A row
// whose dispatcher is null ends the table.
struct TResponseTableEntry {
  unsigned Msg;
  unsigned Id;
  TDispatcher Dispatcher;
};

// What is being looked up, and where it was found.
struct TEventInfo {
  explicit TEventInfo(unsigned msg, unsigned id = 0) : Msg(msg), Id(id) {}
  unsigned Msg;
  unsigned Id;
  const TResponseTableEntry* Entry = nullptr;  // the row found
  TEventHandler* Object = nullptr;             // the object it is called on
};

class TEventHandler {
public:
  virtual ~TEventHandler() = default;

  // Searches this object's tables, most derived class first. The base
  // handler has no rows.
  virtual bool Find(TEventInfo& info);
  // Calls the row found by Find with the message's parameters.
  virtual LRESULT Dispatch(TEventInfo& info, WPARAM wParam, LPARAM lParam);

  // Looks a message up (message row) and dispatches it; false when no row
  // matches, and `result` is then left alone.
  bool FindAndDispatch(unsigned msg, unsigned id, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
  // Searches one table for the event; on a match fills info.Entry and
  // info.Object (this object).
  bool SearchEntries(const TResponseTableEntry* entries, TEventInfo& info);
};

// Menu-item enabling: a row {WM_COMMAND_ENABLE, id, v_CommandEnable_Dispatch
// <&T::CeHandler>} decides the state of the item with that id.
class TCommandEnabler {
public:
  explicit TCommandEnabler(unsigned id) : id(id) {}
  unsigned GetId() const { return id; }
  void Enable(bool enable = true) {
    enabled = enable;
    handled = true;
  }
  bool IsEnabled() const { return enabled; }
  bool WasHandled() const { return handled; }
  // A checkable item's check mark; an item nobody sets one for has none.
  void SetCheck(bool on) { check = on ? Checked : Unchecked; }
  enum CheckState { NoCheck, Unchecked, Checked };
  CheckState GetCheck() const { return check; }

private:
  unsigned id;
  bool enabled = false;
  bool handled = false;
  CheckState check = NoCheck;
};

namespace response_detail {
template <class>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using Class = C;
};
template <auto Handler>
using ClassOf = typename MemberOf<decltype(Handler)>::Class;

// The object as the class that declares the handler; a row that names a
// handler of an unrelated class raises std::bad_cast instead of calling it.
template <auto Handler>
ClassOf<Handler>& Target(TEventHandler& object) {
  return dynamic_cast<ClassOf<Handler>&>(object);
}
}  // namespace response_detail

// Calls Handler(); the message result is 0.
template <auto Handler>
LRESULT v_Dispatch(TEventHandler& object, WPARAM, LPARAM) {
  (response_detail::Target<Handler>(object).*Handler)();
  return 0;
}

// Calls Handler(wParam) (the timer id for WM_TIMER); the result is 0.
template <auto Handler>
LRESULT v_WPARAM_Dispatch(TEventHandler& object, WPARAM wParam, LPARAM) {
  (response_detail::Target<Handler>(object).*Handler)(static_cast<unsigned>(wParam));
  return 0;
}

// Calls Handler(unsigned(wParam), size) where the size's width and height
// are the low and high 16-bit halves of lParam, each read as a signed
// number (WM_SIZE); the result is 0.
template <auto Handler>
LRESULT v_U_POINT_Dispatch(TEventHandler& object, WPARAM wParam, LPARAM lParam) {
  const TSize size{static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(lParam))),
                   static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(lParam)))};
  (response_detail::Target<Handler>(object).*Handler)(static_cast<unsigned>(wParam), size);
  return 0;
}

// Calls Handler(keys, point) for mouse input: the buttons and keys held
// (MK_...) and the point, unpacked from lParam's signed halves; the result
// is 0.
template <auto Handler>
LRESULT v_Mouse_Dispatch(TEventHandler& object, WPARAM wParam, LPARAM lParam) {
  const TPoint point{static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(lParam))),
                     static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(lParam)))};
  (response_detail::Target<Handler>(object).*Handler)(LoWord(wParam), point);
  return 0;
}

// Calls Handler(keys, turn, point) for the wheel: the turn is the signed
// high half of wParam (120 a notch away from the user); the result is 0.
template <auto Handler>
LRESULT v_Wheel_Dispatch(TEventHandler& object, WPARAM wParam, LPARAM lParam) {
  const TPoint point{static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(lParam))),
                     static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(lParam)))};
  (response_detail::Target<Handler>(object).*Handler)(LoWord(wParam), static_cast<std::int16_t>(HiWord(wParam)),
                                                      point);
  return 0;
}

// Calls Handler() returning bool; the result is 1 for true, 0 for false.
template <auto Handler>
LRESULT B_Dispatch(TEventHandler& object, WPARAM, LPARAM) {
  return (response_detail::Target<Handler>(object).*Handler)() ? 1 : 0;
}

// Calls Handler(TCommandEnabler&); lParam carries the enabler.
template <auto Handler>
LRESULT v_CommandEnable_Dispatch(TEventHandler& object, WPARAM, LPARAM lParam) {
  (response_detail::Target<Handler>(object).*Handler)(*reinterpret_cast<TCommandEnabler*>(lParam));
  return 0;
}
