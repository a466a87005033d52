// Windows: the backing image and its erasing, the paint cycle, timers,
// resizing, exposure, and the dispatchers of response tables.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <sstream>

#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/OwnProcess.h"
#include "framework/gdi/TClientDC.h"
#include "framework/gdi/TFont.h"
#include "framework/window/TPaintDC.h"
#include "framework/gdi/TPen.h"
#include "framework/surface/RasterSurface.h"
#include "framework/surface/RecordingSurface.h"
#include "tests/framework/gdi/GdiProbe.h"

namespace {

constexpr QRgb Marker = 0xFF123456;

// A window that exists but is not shown, so no exposure interferes.
TRecordingWindow* hiddenWindow(int w = 64, int h = 48) {
  auto* window = new TRecordingWindow("Hidden");
  window->Attr.Style &= ~WS_VISIBLE;
  window->Attr.W = w;
  window->Attr.H = h;
  window->Create();
  return window;
}

TEST(WindowErase, TheReservedColoursAndASetColourErasePixelsOfTheBackingImage) {
  struct Case {
    std::uint32_t colour;
    QRgb inside;  // 0: the system's window colour
  };
  const Case cases[] = {
      {NoColor, 0},              // none set: the system's window colour
      {NoErase, Marker},         // no erasing: the pixels stay
      {0x000000FF, 0xFFFF0000},  // red in the low byte
      {0x00FF8000, 0xFF0080FF},
      {0x00000000, 0xFF000000},
  };
  ScriptedBoxes boxes;
  TTestApp app;
  const QRgb system = QGuiApplication::palette().color(QPalette::Base).rgb();
  for (const Case& c : cases) {
    std::unique_ptr<TRecordingWindow> window(hiddenWindow());
    QImage& image = window->ClientImage();
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    image.fill(Marker);
    window->SetBkgndColor(c.colour);
    window->InvalidateRect(TRect{10, 5, 30, 20}, true);
    window->UpdateWindow();
    const QRgb expected = c.inside ? c.inside : system;
    EXPECT_EQ(image.pixel(10, 5), expected) << std::hex << c.colour;
    EXPECT_EQ(image.pixel(29, 19), expected) << std::hex << c.colour;
    EXPECT_EQ(image.pixel(30, 19), Marker) << "outside the invalid rectangle";
    EXPECT_EQ(image.pixel(9, 5), Marker);
    EXPECT_EQ(image.pixel(10, 20), Marker);
    EXPECT_EQ(window->paints, 1);
  }
}

TEST(WindowErase, InvalidatingWithoutErasingPaintsButKeepsThePixels) {
  ScriptedBoxes boxes;
  TTestApp app;
  std::unique_ptr<TRecordingWindow> window(hiddenWindow());
  window->ClientImage().fill(Marker);
  window->SetBkgndColor(TColor(0, 0, 0));
  window->Invalidate(false);
  window->UpdateWindow();
  EXPECT_EQ(window->paints, 1);
  EXPECT_EQ(window->ClientImage().pixel(0, 0), Marker);
  // Erasing pending from one invalidation covers the region of the next.
  window->InvalidateRect(TRect{0, 0, 4, 4}, true);
  window->InvalidateRect(TRect{8, 8, 12, 12}, false);
  window->UpdateWindow();
  EXPECT_EQ(window->ClientImage().pixel(9, 9), 0xFF000000);
  EXPECT_EQ(window->ClientImage().pixel(6, 6), Marker);
  // Nothing invalid: no paint cycle.
  window->UpdateWindow();
  EXPECT_EQ(window->paints, 2);
}

TEST(WindowErase, ErasingGoesThroughTheClientSurfaceWhenOneIsSet) {
  ScriptedBoxes boxes;
  TTestApp app;
  std::unique_ptr<TRecordingWindow> window(hiddenWindow(40, 30));
  std::ostringstream trace;
  RecordingSurface surface(trace);
  window->SetClientSurface(&surface);
  window->SetBkgndColor(0x00000000);
  window->Invalidate(true);
  window->UpdateWindow();
  window->SetBkgndColor(NoErase);
  window->InvalidateRect(TRect{-100, -100, 5, 5}, true);
  window->UpdateWindow();
  window->SetBkgndColor(0x00FF0000);
  window->InvalidateRect(TRect{35, 25, 100000, 2147483647}, true);
  window->UpdateWindow();
  EXPECT_EQ(trace.str(),
            "EraseBkgnd(0,0,40,30,0x00000000)\n"
            "EraseBkgnd(35,25,5,5,0x00FF0000)\n");
}

TEST(WindowErase, ARepaintDrawsThroughAPaintContextOnTheImage) {
  ScriptedBoxes boxes;
  TTestApp app;
  std::unique_ptr<TRecordingWindow> window(hiddenWindow(20, 20));
  window->ClientImage().fill(Marker);
  window->Invalidate(false);
  {
    TPaintDC dc(*window);
    EXPECT_EQ(dc.PaintRect(), (TRect{0, 0, 20, 20}));
    dc.EraseBkgnd(2, 2, 3, 3, 0x0000FF00);
  }
  EXPECT_EQ(window->ClientImage().pixel(3, 3), 0xFF00FF00);
  EXPECT_EQ(window->ClientImage().pixel(1, 1), Marker);
  TPaintDC again(*window);
  EXPECT_TRUE(again.PaintRect().IsEmpty());
}

TEST(WindowErase, APaintContextsEndNeverRaisesAndStillEndsThePaint) {
  ScriptedBoxes boxes;
  TTestApp app;
  std::unique_ptr<TRecordingWindow> window(hiddenWindow(20, 20));
  window->Invalidate(false);
  GdiHandle pen = 0;
  EXPECT_NO_THROW({
    TPaintDC dc(*window);
    TPen made(TColor(1, 2, 3), 3);
    pen = made.GetHandle();
    dc.SelectObject(made);
    dc.SelectObject(TFont("x", 5));
    // The context holds the last count of the pen, whose deletion fails.
    GdiProbe::FailNextDeletions(1);
  });
  // The pen stayed, the font was restored and deleted, and the painter on
  // the image has ended.
  EXPECT_TRUE(GdiObjects::IsPen(pen));
  EXPECT_EQ(GdiProbe::LiveCount(), 1u);
  QPainter painter;
  EXPECT_TRUE(painter.begin(&window->ClientImage()));
  painter.end();
  GdiProbe::RefForget(pen);
  GdiObjects::DeleteObject(pen);
  EXPECT_EQ(GdiProbe::LiveCount(), 0u);
}

TEST(WindowTimer, ATimerDeliversTheProgramsIdUntilItIsKilled) {
  ScriptedBoxes boxes;
  TTestApp app;
  auto* window = new TRecordingWindow("Timer");
  EXPECT_FALSE(window->SetTimer(1, 10)) << "no system window yet";
  window->setupHook = [](TRecordingWindow& w) {
    EXPECT_TRUE(w.SetTimer(7, 0));            // raised to the minimum interval
    EXPECT_TRUE(w.SetTimer(1, 4000000000u));  // clamped, never fires here
    EXPECT_TRUE(w.SetTimer(1, 15));           // restarts timer 1
  };
  window->onTimer = [window, &app](unsigned id) {
    if (id == 7 && window->KillTimer(7)) {
      EXPECT_FALSE(window->KillTimer(7));
      return;
    }
    if (id == 1 && window->timerIds.size() >= 3) {
      window->KillTimer(1);
      app.PostQuitMessage(0);
    }
  };
  app.makeMain = [window] { return window; };
  Watchdog watchdog(app);
  EXPECT_EQ(app.Run(), 0);
  ASSERT_GE(window->timerIds.size(), 3u);
  EXPECT_EQ(std::count(window->timerIds.begin(), window->timerIds.end(), 7u), 1);
  EXPECT_GE(std::count(window->timerIds.begin(), window->timerIds.end(), 1u), 2);
  EXPECT_FALSE(window->KillTimer(99));
}

TEST(WindowPaint, APostedPaintRequestReachesThePaintHandlerWithNothingToErase) {
  ScriptedBoxes boxes;
  int paintsBefore = -1;
  int userMessages = 0;
  TTestApp app;
  auto* window = new TRecordingWindow("Paint");
  app.makeMain = [window] { return window; };
  window->SetBkgndColor(0x000000FF);
  window->onUser = [&] {
    ++userMessages;
    EXPECT_EQ(window->paints, paintsBefore + 1);
    EXPECT_EQ(window->ClientImage().pixel(5, 5), Marker) << "a posted paint erases nothing";
    window->PostMessage(WM_CLOSE);
  };
  Watchdog watchdog(app);
  Soon(
      [&] {
        paintsBefore = window->paints;
        window->ClientImage().fill(Marker);
        window->PostMessage(WM_PAINT);
        window->PostMessage(WM_TEST);
      },
      100);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(userMessages, 1);
}

TEST(WindowShow, TheFirstExposureErasesTheClientAreaAndPaints) {
  ScriptedBoxes boxes;
  TTestApp app;
  auto* window = new TRecordingWindow("Shown");
  window->Attr.W = 120;
  window->Attr.H = 90;
  window->SetBkgndColor(0x00000000);
  app.makeMain = [window] { return window; };
  QRgb corner = Marker;
  int paintsAtHook = -1;
  window->onPaint = [&] { corner = window->ClientImage().pixel(0, 0); };
  Watchdog watchdog(app);
  Soon(
      [&] {
        paintsAtHook = window->paints;
        window->PostMessage(WM_CLOSE);
      },
      200);
  EXPECT_EQ(app.Run(), 0);
  EXPECT_GE(paintsAtHook, 1);
  EXPECT_EQ(corner, 0xFF000000);
}

TEST(WindowShow, FirstExposedIsCalledOnceAfterTheWindowIsOnTheScreen) {
  ScriptedBoxes boxes;
  TTestApp app;
  auto* window = new TRecordingWindow("Exposed");
  app.makeMain = [window] { return window; };
  Watchdog watchdog(app);
  Soon(
      [&] {
        window->Invalidate(true);
        window->TopLevelWidget()->hide();
        window->TopLevelWidget()->show();
      },
      50);
  Soon(
      [&] {
        EXPECT_EQ(window->firstExposed, 1);
        window->PostMessage(WM_CLOSE);
      },
      200);
  EXPECT_EQ(app.Run(), 0);
}

TEST(WindowSize, AResizeReplacesTheImageKeepsOldPixelsAndThenSendsTheSize) {
  ScriptedBoxes boxes;
  TTestApp app;
  const QRgb system = QGuiApplication::palette().color(QPalette::Base).rgb();
  std::unique_ptr<TRecordingWindow> window(hiddenWindow(50, 40));
  window->SetBkgndColor(NoErase);  // the exposure keeps every pixel
  const TSize first = window->GetClientSize();
  window->ClientImage().fill(Marker);
  window->TopLevelWidget()->resize(90, 70);
  window->TopLevelWidget()->show();
  QCoreApplication::processEvents();
  const TSize now = window->GetClientSize();
  ASSERT_GT(now.cx, first.cx);
  ASSERT_GT(now.cy, first.cy);
  ASSERT_FALSE(window->replacedImages.empty());
  EXPECT_EQ(window->replacedImages.back(), QSize(now.cx, now.cy));
  ASSERT_FALSE(window->sizes.empty());
  EXPECT_EQ(window->sizes.back(), now);
  const QImage& image = window->ClientImage();
  EXPECT_EQ(image.size(), QSize(now.cx, now.cy));
  EXPECT_EQ(image.pixel(0, 0), Marker);
  EXPECT_EQ(image.pixel(first.cx - 1, first.cy - 1), Marker);
  EXPECT_EQ(image.pixel(now.cx - 1, now.cy - 1), system);
  // The client surface follows the image.
  TClientDC dc(window->ClientSurface());
  dc.EraseBkgnd(now.cx - 2, now.cy - 2, 1, 1, 0x0000FF00);
  EXPECT_EQ(window->ClientImage().pixel(now.cx - 2, now.cy - 2), 0xFF00FF00);
  EXPECT_EQ(window->GetClientRect(), (TRect{0, 0, now.cx, now.cy}));
}

// A handler table with one row per dispatcher, and a derived class whose
// own row hides the base's.
class TBase : public TEventHandler {
public:
  bool Find(TEventInfo& info) override { return SearchEntries(Rows, info); }
  void Plain() { calls.push_back("base plain"); }
  void Timer(unsigned id) { calls.push_back("timer " + std::to_string(id)); }
  void Size(unsigned kind, const TSize& s) {
    calls.push_back("size " + std::to_string(kind) + " " + std::to_string(s.cx) + "," + std::to_string(s.cy));
  }
  void Command() { calls.push_back("base command"); }
  std::vector<std::string> calls;

private:
  static const TResponseTableEntry Rows[];
};
const TResponseTableEntry TBase::Rows[] = {
    {WM_PAINT, 0, v_Dispatch<&TBase::Plain>},
    {WM_TIMER, 0, v_WPARAM_Dispatch<&TBase::Timer>},
    {WM_SIZE, 0, v_U_POINT_Dispatch<&TBase::Size>},
    {0, 100, v_Dispatch<&TBase::Command>},
    {0, 0, nullptr},
    {WM_CLOSE, 0, v_Dispatch<&TBase::Plain>},  // after the end: never found
};

class TDerived : public TBase {
public:
  bool Find(TEventInfo& info) override { return SearchEntries(Rows, info) || TBase::Find(info); }
  void Own() { calls.push_back("derived plain"); }

private:
  static const TResponseTableEntry Rows[];
};
const TResponseTableEntry TDerived::Rows[] = {
    {WM_PAINT, 0, v_Dispatch<&TDerived::Own>},
    {0, 0, nullptr},
};

TEST(ResponseTable, RowsAreSearchedOwnTableFirstAndDispatchersUnpackParameters) {
  TDerived handler;
  struct Case {
    unsigned msg;
    unsigned id;
    WPARAM w;
    LPARAM l;
    bool found;
    const char* call;
  };
  const Case cases[] = {
      {WM_PAINT, 0, 0, 0, true, "derived plain"},
      {WM_TIMER, 0, 1, 0, true, "timer 1"},
      {WM_SIZE, 0, 2, MakeLParam(800, 600), true, "size 2 800,600"},
      {WM_SIZE, 0, 0, static_cast<LPARAM>(0xFFFF8000u), true, "size 0 -32768,-1"},
      {WM_SIZE, 0, 0, MakeLParam(40000, 70000), true, "size 0 -25536,4464"},
      {0, 100, 0, 0, true, "base command"},
      {WM_PAINT, 100, 0, 0, false, nullptr},  // a command id on a message row
      {0, 101, 0, 0, false, nullptr},
      {WM_CLOSE, 0, 0, 0, false, nullptr},
  };
  for (const Case& c : cases) {
    handler.calls.clear();
    LRESULT result = 42;
    EXPECT_EQ(handler.FindAndDispatch(c.msg, c.id, c.w, c.l, result), c.found) << c.msg << "/" << c.id;
    if (c.found) {
      ASSERT_EQ(handler.calls.size(), 1u);
      EXPECT_EQ(handler.calls[0], c.call);
      EXPECT_EQ(result, 0);
    } else {
      EXPECT_TRUE(handler.calls.empty());
      EXPECT_EQ(result, 42);
    }
  }
}

}  // namespace

namespace {

TEST(WindowCreate, WithoutAWidgetApplicationCreationRaisesException32747) {
  if (!InOwnProcess()) return;  // needs a process without an application object
  TRecordingWindow window("Nowhere");
  try {
    window.Create();
    ADD_FAILURE() << "created";
  } catch (const TWindow::TXWindow& x) {
    EXPECT_EQ(x.ResId(), 32747u);
  }
  EXPECT_EQ(window.HWindow, nullptr);
  EXPECT_FALSE(window.SetTimer(1, 500));
  EXPECT_FALSE(window.PostMessage(WM_CLOSE));
  EXPECT_EQ(window.GetClientSize(), (TSize{0, 0}));
  window.Invalidate(true);  // nothing to invalidate: harmless
}

}  // namespace

namespace {

TEST(WindowCreate, AFrameWindowDefaultsToTheSystemsSizeAndTheProgramIcon) {
  ScriptedBoxes boxes;
  TTestApp app;
  TRecordingWindow window("Defaults \xC3\xA9");
  EXPECT_EQ(window.Attr.Style, 0x10CF0000u);
  EXPECT_EQ(window.Attr.X, CW_USEDEFAULT);
  EXPECT_EQ(window.Attr.W, CW_USEDEFAULT);
  EXPECT_TRUE(window.IsFlagSet(wfDeleteOnClose));
  EXPECT_FALSE(window.IsFlagSet(wfMainWindow));
  EXPECT_EQ(window.BkgndColor, NoColor);
  window.Attr.Style &= ~WS_VISIBLE;
  window.Create();
  QWidget* top = window.TopLevelWidget();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->windowTitle(), QString::fromUtf8("Defaults \xC3\xA9"));
  // A caption that is not UTF-8 reads as Windows-1252, as drawn text does.
  TRecordingWindow other("\x80 caf\xE9");
  other.Attr.Style &= ~WS_VISIBLE;
  other.Create();
  ASSERT_NE(other.TopLevelWidget(), nullptr);
  EXPECT_EQ(other.TopLevelWidget()->windowTitle(), QString::fromUtf16(u"\u20AC caf\u00E9"));
  EXPECT_GT(window.GetClientSize().cx, 0);
  EXPECT_GT(window.GetClientSize().cy, 0);
  const QImage icon = top->windowIcon().pixmap(32, 32).toImage();
  ASSERT_FALSE(icon.isNull()) << "icon 32000 did not load";
  EXPECT_EQ(icon.pixel(8, 8), 0xFF000000u);
}

}  // namespace
