// A small client of the ZORVA daemon: starts a display through its launcher
// and draws a picture with every kind of item, over a few seconds, into a
// window of about 800x600. The window stays open; closing it ends the display.
//
//   zorva-demo [--zorvad PATH] [--file COMMAND-FILE]
//
// Without --zorvad the daemon is looked for beside this program; without
// --file a fresh command file is made in the temporary directory.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "ZorvaWriter.h"

extern char** environ;

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string besideThisProgram(const char* name) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return name;
  std::string dir(self, static_cast<std::size_t>(n));
  return dir.substr(0, dir.rfind('/') + 1) + name;
}

// Runs `zorvad -d file`: the launcher returns once the display is ready.
bool startDisplay(const std::string& zorvad, const std::string& file) {
  const char* argv[] = {zorvad.c_str(), "-d", file.c_str(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, zorvad.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The picture fits a client area of 760x540: the window a 1024x768 screen
// gives the display (three quarters of it, less the menu bar).
constexpr int Width = 760, Height = 540;

// A rectangle of the picture, y upward.
struct Box {
  int x0, y0, x1, y1;
  int cx() const { return (x0 + x1) / 2; }
  int cy() const { return (y0 + y1) / 2; }
};

const Box TopLeft{12, 262, 372, 470}, TopRight{388, 262, 748, 470};
const Box BottomLeft{12, 12, 372, 246}, BottomRight{388, 12, 748, 246};

// A closed outline of a box.
void frame(ZorvaWriter& z, const Box& b) {
  z.polyline(b.x0, b.y0);
  z.polyvertex(b.x1, b.y0);
  z.polyvertex(b.x1, b.y1);
  z.polyvertex(b.x0, b.y1);
  z.polyvertex(b.x0, b.y0);
}

void title(ZorvaWriter& z) {
  z.font("Arial");
  z.textHeight(32);
  z.textAlign(ZorvaWriter::Center);
  z.textColor(255, 255, 255);
  z.text(Width / 2, Height - 6, "ZORVA daemon");
  z.font("Times New Roman");
  z.textHeight(18);
  z.textColor(170, 170, 190);
  z.text(Width / 2, Height - 42, "sixteen item kinds, one command file");
}

void panels(ZorvaWriter& z) {
  z.lineColor(90, 90, 110);
  z.lineWidth(1);
  z.lineType(ZorvaWriter::Solid);
  for (const Box& b : {TopLeft, TopRight, BottomLeft, BottomRight}) frame(z, b);
}

// A plot with a dotted grid, a solid sine and a dashed, damped cosine, drawn
// point by point.
void plot(ZorvaWriter& z, const Box& b) {
  const int x0 = b.x0 + 18, x1 = b.x1 - 18, y0 = b.cy(), amp = (b.y1 - b.y0) / 2 - 16;
  z.lineColor(60, 60, 75);
  z.lineType(ZorvaWriter::Dotted);
  for (int x = x0; x <= x1; x += (x1 - x0) / 10) z.line(x, y0 - amp - 6, x, y0 + amp + 6);
  for (int k = -3; k <= 3; ++k) z.line(x0, y0 + k * amp / 3, x1, y0 + k * amp / 3);
  z.lineType(ZorvaWriter::Solid);
  z.lineColor(200, 200, 200);
  z.line(x0, y0, x1, y0);
  z.line(x0, y0 - amp - 6, x0, y0 + amp + 6);

  const double pi = std::acos(-1.0);
  auto sine = [&](int x) {
    return y0 + int(std::lround(amp * std::sin((x - x0) * 4 * pi / (x1 - x0))));
  };
  auto damped = [&](int x) {
    const double t = double(x - x0) / (x1 - x0);
    return y0 + int(std::lround(amp * std::exp(-2.2 * t) * std::cos(t * 6 * pi)));
  };
  z.lineColor(80, 220, 255);
  z.lineWidth(3);
  z.polyline(x0, sine(x0));
  for (int x = x0 + 5; x <= x1; x += 5) {
    z.polyvertex(x, sine(x));
    if (x % 40 == 0) pause(60);
  }
  z.polyvertex(x1, sine(x1));
  z.lineColor(255, 160, 40);
  z.lineWidth(1);
  z.lineType(ZorvaWriter::Dashed);
  z.polyline(x0, damped(x0));
  for (int x = x0 + 3; x <= x1; x += 3) z.polyvertex(x, damped(x));
  z.polyvertex(x1, damped(x1));
  z.lineType(ZorvaWriter::Solid);
}

// A rainbow of wide arcs over a sun of circles in a dash-dot halo.
void rainbow(ZorvaWriter& z, const Box& b) {
  const int cx = b.cx(), cy = b.y0 + 12;
  const int colours[7][3] = {{148, 0, 211}, {75, 0, 130},   {0, 0, 255},  {0, 200, 0},
                             {255, 255, 0}, {255, 127, 0}, {255, 0, 0}};
  z.lineWidth(11);
  for (int i = 0; i < 7; ++i) {
    z.lineColor(colours[i][0], colours[i][1], colours[i][2]);
    z.arc(cx, cy, 74 + 12 * i, 0, 180);
    pause(80);
  }
  z.lineColor(255, 220, 60);
  z.lineWidth(2);
  for (int r = 5; r <= 25; r += 5) z.circle(cx, cy + 32, r);
  z.lineColor(255, 240, 150);
  z.lineType(ZorvaWriter::DashDot);
  z.lineWidth(1);
  z.arc(cx, cy + 32, 32, 90, 90);  // equal angles: the whole circle
  z.lineType(ZorvaWriter::Solid);
}

// A target of circles in changing colours and a star.
void target(ZorvaWriter& z, const Box& b) {
  const int cx = b.x0 + 100, cy = b.cy();
  for (int i = 0; i < 7; ++i) {
    z.lineColor(255 - 30 * i, 60 + 25 * i, 90 + 20 * i);
    z.lineWidth(i % 2 ? 2 : 4);
    z.circle(cx, cy, 12 + 12 * i);
  }
  pause(150);
  const double pi = std::acos(-1.0);
  const int sx = b.x0 + 268, sy = cy, outer = 76, inner = 30;
  z.lineColor(255, 230, 0);
  z.lineWidth(3);
  for (int k = 0; k <= 10; ++k) {
    const double a = pi / 2 + k * pi / 5;
    const int r = k % 2 ? inner : outer;
    const int x = sx + int(std::lround(r * std::cos(a)));
    const int y = sy + int(std::lround(r * std::sin(a)));
    if (k == 0) z.polyline(x, y);
    else z.polyvertex(x, y);
  }
}

// The three alignments against a guide, in three faces, and the line widths.
void alignments(ZorvaWriter& z, const Box& b) {
  const int gx = b.cx();
  z.lineColor(120, 120, 140);
  z.lineWidth(1);
  z.lineType(ZorvaWriter::DashDot);
  z.line(gx, b.y1 - 4, gx, b.y1 - 118);
  z.lineType(ZorvaWriter::Solid);
  z.textHeight(22);
  z.font("Arial");
  z.textColor(120, 255, 120);
  z.textAlign(ZorvaWriter::Left);
  z.text(gx, b.y1 - 10, "left: Arial");
  z.font("Times New Roman");
  z.textColor(255, 200, 120);
  z.textAlign(ZorvaWriter::Center);
  z.text(gx, b.y1 - 46, "centre: Times");
  z.font("Courier New");
  z.textColor(140, 180, 255);
  z.textAlign(ZorvaWriter::Right);
  z.text(gx, b.y1 - 82, "right: Courier");
  pause(150);
  z.font("Arial");
  z.textHeight(14);
  z.textColor(200, 200, 200);
  z.textAlign(ZorvaWriter::Left);
  for (int w = 1; w <= 6; ++w) {
    const int y = b.y0 + 100 - 16 * (w - 1);
    z.lineWidth(w);
    z.lineColor(255, 255 - 30 * w, 30 * (w - 1));
    z.line(b.x0 + 56, y, b.x1 - 16, y);
    std::string label = "w";
    label += std::to_string(w);
    z.text(b.x0 + 18, y + 8, label);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string zorvad = besideThisProgram("zorvad");
  std::string file;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--zorvad") && i + 1 < argc) zorvad = argv[++i];
    else if (!std::strcmp(argv[i], "--file") && i + 1 < argc) file = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--zorvad PATH] [--file COMMAND-FILE]\n", argv[0]);
      return 2;
    }
  }
  if (file.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    file = std::string(tmp && *tmp ? tmp : "/tmp") + "/zorva-demo-" + std::to_string(getpid()) + ".cmd";
  }

  // The display follows an existing file from its start: make it, empty.
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) std::fclose(f);
  else {
    std::perror(file.c_str());
    return 1;
  }
  if (!startDisplay(zorvad, file)) {
    std::fprintf(stderr, "zorva-demo: could not start the display %s\n", zorvad.c_str());
    std::remove(file.c_str());
    return 1;
  }

  ZorvaWriter z(file);
  z.start();
  z.font("Arial");
  z.textHeight(64);
  z.textAlign(ZorvaWriter::Center);
  z.textColor(255, 255, 255);
  z.text(Width / 2, Height / 2 + 40, "ZORVA");
  pause(1200);
  z.clear();
  pause(300);

  title(z);
  panels(z);
  pause(300);
  plot(z, TopLeft);
  pause(300);
  rainbow(z, TopRight);
  pause(300);
  target(z, BottomLeft);
  pause(300);
  alignments(z, BottomRight);

  if (!z.ok()) {
    std::fprintf(stderr, "zorva-demo: writing %s failed\n", file.c_str());
    return 1;
  }
  std::printf("zorva-demo: picture drawn into %s; close the window to end the display\n",
              file.c_str());
  return 0;
}
