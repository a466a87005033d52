#pragma once
// A window: a system window (a Qt widget) with its creation attributes, its
// response table, and a client area (TClientArea): a backing image and the
// one drawing surface on it.
//
// Drawing goes into the image at any time, in logical pixels; the image has
// the screen's device pixel ratio. After the outermost message the window
// handles, and at the end of a paint cycle, the framework copies what was
// drawn (and the painted region) to the screen. Erasing fills regions
// through the client surface with the background colour. When the client
// size or the screen's ratio changes the window makes a new image (keeping
// the old pixels that still fit at the same ratio) and calls
// ClientImageReplaced before it handles WM_SIZE.
//
// A system expose (part of the window uncovered) invalidates that region
// with erasing and runs the paint cycle (WM_PAINT) at once. Invalidations
// run the paint cycle later, when the queue has nothing more urgent.
//
// A window object is never deleted inside one of its own handlers: a close
// request condemns it and the loop deletes it after the delivery. Window
// objects go before the application that owns the window system.
//
// Every window is a top-level window. It reaches the loop that delivers its
// messages through the current scheduler (framework/application/
// TScheduler.h); without one it can be created and drawn, but it posts
// nothing.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/application/TEventHandler.h"
#include "framework/gdi/TColor.h"
#include "framework/report/Exceptions.h"
#include "framework/report/MessageBox.h"
#include "framework/window/Geometry.h"

class QImage;
class QWidget;
class Surface;
class QMenuBar;
class TScheduler;

using HWND = QWidget*;

// Reserved background colours: none set (the system's window colour is used)
// and no erasing at all.
inline constexpr std::uint32_t NoColor = 0xFF000000u;
inline constexpr std::uint32_t NoErase = 0xFE000000u;

// Window flags.
enum : unsigned {
  wfMainWindow = 0x0001,     // the application's main window
  wfDeleteOnClose = 0x0002,  // delete the object once a close request destroyed it
};

// Marks shown over a window's client area on the screen only: never in its
// backing image, so never in what is drawn, copied or saved. A crosshair
// through a point, and a short label beside it.
struct TOverlay {
  bool crosshair = false;
  TPoint at;          // client coordinates, logical pixels
  std::string label;  // none when empty; UTF-8
  bool operator==(const TOverlay&) const = default;
};

struct TWindowAttr {
  std::uint32_t Style = WS_VISIBLE;
  int X = 0;
  int Y = 0;
  int W = 0;
  int H = 0;
  unsigned Id = 0;
  std::string Menu;        // menu resource name; empty for none
  std::string AccelTable;  // accelerator resource name; empty for none
};

class TWindow : public TEventHandler {
public:
  using TXWindow = ::TXWindow;

  explicit TWindow(const char* title = nullptr);
  // Destroys the system window if it still exists, and tells the scheduler
  // the window is gone (it stops being the application's main window).
  ~TWindow() override;
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  bool Find(TEventInfo& info) override;

  // --- Life cycle -------------------------------------------------------
  // Makes the system window and runs SetupWindow; an exception from
  // SetupWindow destroys the system window again and leaves Create. Raises
  // TXMenu (32744) for a menu resource that does not exist.
  virtual bool Create();
  // Called once the system window exists, before Create returns.
  virtual void SetupWindow();
  // Called while the system window is being destroyed (WM_DESTROY).
  virtual void CleanupWindow();
  // SW_HIDE, SW_MINIMIZE / SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, anything
  // else shows normally. The window never raises or activates itself.
  void Show(int cmdShow);
  // Sends WM_DESTROY, then destroys the system window; HWindow is null
  // afterwards. The object remains.
  void Destroy(int retVal = 0);
  // Whether the window may close; the default says yes.
  virtual bool CanClose();
  // For the main window asks the application's CanClose, for any other its
  // own; destroys the window when the answer is yes.
  void CloseWindow(int retVal = 0);
  // Called by the application's loop when it has nothing to deliver; the
  // default does nothing and returns false.
  virtual bool IdleAction(long idleCount);

  // --- Messages ---------------------------------------------------------
  // The window procedure: WM_COMMAND goes to command routing, any other
  // message to the response tables, else to the default processing. What
  // the message drew is copied to the screen afterwards.
  LRESULT HandleMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Handles a message that comes straight from the window system (input,
  // timers, exposure, resizing) rather than from the queue, and counts it
  // as a delivery for the application's idle counter.
  LRESULT DeliverMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Queues a request for this window (WM_CLOSE, WM_PAINT, ...); delivered by
  // the loop. False when there is no system window.
  bool PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Delivers `msg` to this window once the window system has handled the
  // events waiting now (input, exposure, close requests); PostMessage's
  // requests go before those. Held back while delivery is held, like timer
  // ticks, but never dropped. False when there is no system window.
  bool PostAfterEvents(unsigned msg, WPARAM wParam = 0);

  // --- Timers -----------------------------------------------------------
  // Starts (or restarts) timer `id`: WM_TIMER with wParam `id` every `ms`
  // milliseconds (at least 10). False when there is no system window.
  bool SetTimer(unsigned id, unsigned ms);
  // Stops timer `id`; false when it was not running.
  bool KillTimer(unsigned id);

  // --- Client area ------------------------------------------------------
  // The client area's backing image (device pixels, with the screen's
  // device pixel ratio). A null image before creation.
  QImage& ClientImage();
  // The backing image with every drawing so far complete in its pixels.
  const QImage& ClientPixels();
  // The client area's drawing surface: the one surface on the backing
  // image, or the surface set by SetClientSurface. Every device context of
  // the window (TPaintDC, TClientDC) draws through it, and so does erasing.
  Surface& ClientSurface();
  // The view the client image's surface draws in: zoom and pan, as
  // RasterSurface::SetView takes them; identity at start.
  void SetClientView(double zoom, double panX, double panY);
  // Makes `surface` (not owned; for example a recording surface in tests)
  // the client surface instead of the image's; null restores the image's.
  // Contexts made before keep the surface they were made on.
  void SetClientSurface(Surface* surface);
  // Called after the backing image was replaced (a new size or ratio),
  // before WM_SIZE. The client surface already draws on the new image.
  virtual void ClientImageReplaced(QImage& image);
  // Called once, from a zero-time timer, after the window was first
  // exposed on the screen.
  virtual void FirstExposed();
  // (0, 0, width, height) of the client area.
  TRect GetClientRect() const;
  TSize GetClientSize() const;
  // Adds the whole client area / a rectangle to the update region; with
  // `erase` the region is erased when the paint cycle begins.
  void Invalidate(bool erase = true);
  void InvalidateRect(const TRect& rect, bool erase = true);
  // Runs the paint cycle now if the update region is not empty.
  void UpdateWindow();
  // Whether the whole client area waits to be erased when the next paint
  // begins (a resize, or an invalidation of all of it with erasing).
  bool WholeClientErasePending() const;
  // While WM_PAINT is being handled: whether the framework's own paint
  // cycle sent it (for an invalidated or exposed region), rather than a
  // posted paint request.
  bool PaintFromCycle() const;
  // The paint cycle's bracket (TPaintDC uses it): BeginPaint erases the
  // update region when erasing is pending (WM_ERASEBKGND), empties it and
  // returns its bounding rectangle; EndPaint copies it, and whatever was
  // drawn inside the bracket, to the screen.
  TRect BeginPaint();
  void EndPaint() noexcept;
  // Copies what was drawn since the last copy to the screen (also done
  // after every message).
  void Flush();
  // Shows `overlay` over the client area, replacing the one shown.
  void SetOverlay(const TOverlay& overlay);
  // The distance the pointer moves with a button down before the system
  // takes it as a drag (logical pixels).
  static int DragDistance();
  // Puts the client area's pixels, as shown now, on the system clipboard as
  // an image at the screen's device resolution. False when there is no
  // clipboard or no image.
  bool CopyClientToClipboard();
  // Inside the paint bracket: the client area becomes the bottom-left part
  // of `picture` (device pixels at the client image's ratio and format),
  // as if it had been drawn. False, and nothing changed, when it does not
  // fit.
  bool ShowPicture(const QImage& picture);

  // The colour the background is erased with (0x00BBGGRR), or NoColor
  // (the system's window colour, the initial state) or NoErase.
  void SetBkgndColor(std::uint32_t color) { BkgndColor = color; }
  void SetBkgndColor(const TColor& color) { BkgndColor = color.GetValue(); }

  // A modal box owned by the window; a null caption shows "Error". Returns
  // the answer code (IDOK, IDYES, IDNO).
  int MessageBox(const char* text, const char* caption = nullptr, unsigned type = MB_OK);

  // The top-level system window (a QWidget holding the menu bar and the
  // client area); null before creation.
  QWidget* TopLevelWidget() const;
  // The window whose top-level system window `widget` is; null for any
  // other widget.
  static TWindow* OwnerOf(const QWidget* widget);

  // --- Attributes -------------------------------------------------------
  // The scheduler the window posts to: the current one.
  TScheduler* GetScheduler() const;
  void SetFlag(unsigned mask) { flags |= mask; }
  bool IsFlagSet(unsigned mask) const { return (flags & mask) != 0; }

  // --- Handlers of the basic window's table -----------------------------
  void EvClose();                                     // WM_CLOSE
  void CmExit();                                      // command 24310
  bool EvQueryEndSession();                           // WM_QUERYENDSESSION
  void EvDestroy();                                   // WM_DESTROY
  void EvPaint();                                     // WM_PAINT: one BeginPaint/EndPaint pair
  void EvSize(unsigned sizeType, const TSize& size);  // WM_SIZE
  bool EvEraseBkgnd();                                // WM_ERASEBKGND: erases the paint region

  HWND HWindow = nullptr;  // the system window; null before Create and after Destroy
  TWindowAttr Attr;
  std::string Title;
  std::uint32_t BkgndColor = NoColor;

protected:
  // What the system does with a message no row handles.
  virtual LRESULT DefWindowProc(unsigned msg, WPARAM wParam, LPARAM lParam);
  // Command routing: a command row with that id in this window's tables,
  // then in the application's; else the default processing.
  virtual LRESULT EvCommand(unsigned id, LPARAM control, unsigned notifyCode);
  // What a command-enabling row for `id` in this window's tables or the
  // application's decides; without one, whether a command row for `id`
  // exists there. `check`, when given, gets the check mark that row set.
  bool CommandEnabled(unsigned id, TCommandEnabler::CheckState* check = nullptr);
  // Called by Create once the system window exists and before SetupWindow:
  // a frame window attaches its menu and icon.
  virtual void AttachFrame();
  // The menu bar shown above the client area (the system window owns it).
  void SetMenuBar(QMenuBar* menuBar);

private:
  static const TResponseTableEntry Responses[];
  void FinishDestroy();

  struct Impl;
  std::unique_ptr<Impl> impl;
  unsigned flags = wfDeleteOnClose;
};
