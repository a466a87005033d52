// Append-to-screen latency of the display window on an X display (run it
// under Xvfb): the display runs in this process with its real main loop; a
// probe thread appends a line item in a fresh colour to the command file,
// then reads one pixel column of the window back from the X server until
// that colour shows. A trial's figure runs from the write returning to the
// pixel read back. Trials start at random phases against any polling
// period. The same window with the file watch turned off (for this process
// only) gives the poll timer's baseline in the same run.
//
// Counters: median_ms, p95_ms, worst_ms over the trials, and missed (trials
// whose colour did not show within 3 s, counted as 3000 ms).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/ProgramResources.h"
#include "app/TDrawApp.h"
#include "stream/CommandFile.h"
#include "stream/DisplayState.h"
#include "framework/application/FileWatch.h"
#include "framework/application/QtApplication.h"
#include "framework/window/TFrameWindow.h"

// Xlib's macros clash with Qt's names: its headers come last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
// The display window, with the program's resources.
const bool registered = [] {
  UseProgramResources();
  return true;
}();
}  // namespace

namespace {

constexpr int kTrials = 40;
constexpr double kGiveUpMs = 3000;

double nowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void appendBytes(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return;
  if (::write(fd, bytes.data(), bytes.size()) < 0) std::perror("append");
  ::close(fd);
}

// A BadMatch from reading a window that is not (yet) viewable must not end
// the process; such a read simply shows nothing.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// Whether the pixel column `x` of the window holds `want` (0xRRGGBB).
bool columnShows(Display* d, Window win, int x, int height, unsigned long want) {
  XImage* img = XGetImage(d, win, x, 0, 1, static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!img) return false;
  bool seen = false;
  for (int y = 0; y < height && !seen; ++y) seen = (XGetPixel(img, 0, y) & 0xFFFFFF) == want;
  XDestroyImage(img);
  return seen;
}

// The probe: every trial waits a random time below 600 ms, appends a colour
// item and a line item in one write, and reads the column until the colour
// shows. Ends with the exit item, which closes the display.
void probe(Window win, const std::string& path, std::vector<double>& ms, int& missed) {
  XSetErrorHandler(ignoreXError);  // after Qt's start, which may set its own
  Display* d = XOpenDisplay(nullptr);
  XWindowAttributes wa{};
  if (!d || !XGetWindowAttributes(d, win, &wa)) {
    std::fprintf(stderr, "window_latency: no window to read back\n");
    missed = kTrials;
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the first paint
    std::mt19937 rng(7);
    const int col = wa.width / 2;
    for (int i = 0; i < kTrials; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 600));
      const int r = 17 + (i * 37) % 230, g = 200 - (i * 11) % 150, b = 31 + (i * 53) % 200;
      const int y = 10 + (i * 7) % std::max(1, wa.height - 60);
      char item[128];
      std::snprintf(item, sizeof item, "4 3 %d %d %d \n2 4 %d %d %d %d \n", r, g, b, col - 50, y, col + 50,
                    y);
      const unsigned long want = (static_cast<unsigned long>(r) << 16) | (g << 8) | b;
      const double t0 = nowMs();
      appendBytes(path, item);
      double t1 = -1;
      while (nowMs() - t0 < kGiveUpMs) {
        if (columnShows(d, win, col, wa.height, want)) {
          t1 = nowMs();
          break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      if (t1 < 0) ++missed;
      ms.push_back(t1 < 0 ? kGiveUpMs : t1 - t0);
    }
  }
  if (d) XCloseDisplay(d);
  appendBytes(path, "1 0 ");
}

// One display on a fresh command file, followed by the probe until the
// probe's exit item closes it. Returns the trials' figures, sorted.
std::vector<double> runTrials(int& missed) {
  const std::string path = "/tmp/zorva-bench-latency-" + std::to_string(::getpid()) + ".zv";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fputs("0 0 ", f);
    std::fclose(f);
  }
  std::vector<double> ms;
  std::thread prober;
  TDrawApp* current = nullptr;
  DisplayState display;
  TDrawApp app(display, "ZORVAd", [&] {
    const Window win = static_cast<Window>(current->GetMainWindow()->TopLevelWidget()->winId());
    prober = std::thread(probe, win, path, std::ref(ms), std::ref(missed));
  });
  current = &app;
  auto file = std::make_unique<CommandFile>();
  if (!file->Open(path.c_str())) {
    std::fprintf(stderr, "window_latency: cannot open %s\n", path.c_str());
    return ms;
  }
  app.UseCommandFile(std::move(file));
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&app] {
    std::fprintf(stderr, "window_latency: the display did not close\n");
    app.PostQuitMessage(-1);
  });
  watchdog.start(kTrials * 5000 + 30000);
  app.Run();
  if (prober.joinable()) prober.join();
  std::remove(path.c_str());
  std::sort(ms.begin(), ms.end());
  return ms;
}

void BM_AppendToScreen(benchmark::State& state) {
  const bool notify = state.range(0) != 0;
  std::vector<double> ms;
  int missed = 0;
  for (auto _ : state) {
    TFileWatch::SetEnabled(notify);
    ms = runTrials(missed);
    TFileWatch::SetEnabled(true);
    state.SetIterationTime(ms.empty() ? 0 : ms[ms.size() / 2] / 1000);
  }
  if (ms.empty()) {
    state.SkipWithError("no trial ran");
    return;
  }
  const std::size_t n = ms.size();
  state.counters["median_ms"] = ms[n / 2];
  state.counters["p95_ms"] = ms[std::min(n - 1, n * 95 / 100)];
  state.counters["worst_ms"] = ms.back();
  state.counters["missed"] = missed;
  state.counters["trials"] = static_cast<double>(n);
}

// notify:1 is the program as it runs; notify:0 polls with the timer alone.
BENCHMARK(BM_AppendToScreen)
    ->ArgName("notify")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // The probe thread reads pixels through Xlib while Qt runs the window.
  XInitThreads();
  benchmark::Initialize(&argc, argv);
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "window_latency: needs an X display (run it under xvfb-run)\n");
    return 1;
  }
  // The pixels must reach the X server, whatever platform the caller set.
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  // One window-system application for every run.
  static int qtArgc = 1;
  static char name[] = "window_latency";
  static char* qtArgv[] = {name, nullptr};
  TQtApplication qt(qtArgc, qtArgv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
