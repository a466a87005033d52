// A small client of the ZORVA daemon: starts a display through its launcher
// and draws a picture with every kind of item, over a few seconds, into an
// 800x600 window. The window stays open; closing it ends the display.
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

// A closed outline through the corners of a rectangle.
void frame(ZorvaWriter& z, int x0, int y0, int x1, int y1) {
  z.polyline(x0, y0);
  z.polyvertex(x1, y0);
  z.polyvertex(x1, y1);
  z.polyvertex(x0, y1);
  z.polyvertex(x0, y0);
}

void title(ZorvaWriter& z) {
  z.font("Arial");
  z.textHeight(34);
  z.textAlign(ZorvaWriter::Center);
  z.textColor(255, 255, 255);
  z.text(400, 590, "ZORVA daemon");
  z.font("Times New Roman");
  z.textHeight(18);
  z.textColor(170, 170, 190);
  z.text(400, 552, "sixteen item kinds, one command file");
}

void panels(ZorvaWriter& z) {
  z.lineColor(90, 90, 110);
  z.lineWidth(1);
  z.lineType(ZorvaWriter::Solid);
  frame(z, 20, 290, 390, 525);
  frame(z, 410, 290, 780, 525);
  frame(z, 20, 20, 390, 270);
  frame(z, 410, 20, 780, 270);
}

// Top left: a plot with a dotted grid, a solid sine and a dashed, damped
// cosine, drawn point by point.
void plot(ZorvaWriter& z) {
  const int x0 = 40, x1 = 370, y0 = 407, amp = 95;
  z.lineColor(60, 60, 75);
  z.lineType(ZorvaWriter::Dotted);
  for (int x = x0; x <= x1; x += 33) z.line(x, y0 - amp - 5, x, y0 + amp + 5);
  for (int y = y0 - 90; y <= y0 + 90; y += 30) z.line(x0, y, x1, y);
  z.lineType(ZorvaWriter::Solid);
  z.lineColor(200, 200, 200);
  z.line(x0, y0, x1, y0);
  z.line(x0, y0 - amp - 5, x0, y0 + amp + 5);

  const double pi = std::acos(-1.0);
  auto sine = [&](int x) { return y0 + int(std::lround(amp * std::sin((x - x0) * 4 * pi / (x1 - x0)))); };
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
  z.lineColor(255, 160, 40);
  z.lineWidth(1);
  z.lineType(ZorvaWriter::Dashed);
  z.polyline(x0, damped(x0));
  for (int x = x0 + 3; x <= x1; x += 3) z.polyvertex(x, damped(x));
  z.lineType(ZorvaWriter::Solid);
}

// Top right: a rainbow of wide arcs over a sun of circles in a dash-dot halo.
void rainbow(ZorvaWriter& z) {
  const int cx = 595, cy = 300;
  const int colours[7][3] = {{148, 0, 211}, {75, 0, 130},   {0, 0, 255},  {0, 200, 0},
                             {255, 255, 0}, {255, 127, 0}, {255, 0, 0}};
  z.lineWidth(12);
  for (int i = 0; i < 7; ++i) {
    z.lineColor(colours[i][0], colours[i][1], colours[i][2]);
    z.arc(cx, cy, 80 + 13 * i, 0, 180);
    pause(80);
  }
  z.lineColor(255, 220, 60);
  z.lineWidth(2);
  for (int r = 6; r <= 30; r += 6) z.circle(cx, cy + 36, r);
  z.lineColor(255, 240, 150);
  z.lineType(ZorvaWriter::DashDot);
  z.lineWidth(1);
  z.arc(cx, cy + 36, 37, 90, 90);  // equal angles: the whole circle
  z.lineType(ZorvaWriter::Solid);
}

// Bottom left: a target of circles in changing colours and a star.
void target(ZorvaWriter& z) {
  const int cx = 120, cy = 145;
  for (int i = 0; i < 7; ++i) {
    z.lineColor(255 - 30 * i, 60 + 25 * i, 90 + 20 * i);
    z.lineWidth(i % 2 ? 2 : 4);
    z.circle(cx, cy, 12 + 13 * i);
  }
  pause(150);
  const double pi = std::acos(-1.0);
  const int sx = 300, sy = 145, outer = 80, inner = 32;
  z.lineColor(255, 230, 0);
  z.lineWidth(3);
  for (int k = 0; k <= 10; ++k) {
    const double a = pi / 2 + k * pi / 5;
    const int r = k % 2 ? inner : outer;
    const int x = sx + int(std::lround(r * std::cos(a))), y = sy + int(std::lround(r * std::sin(a)));
    if (k == 0) z.polyline(x, y);
    else z.polyvertex(x, y);
  }
}

// Bottom right: the three alignments against a guide, three faces, and the
// line widths.
void alignments(ZorvaWriter& z) {
  const int gx = 595;
  z.lineColor(120, 120, 140);
  z.lineWidth(1);
  z.lineType(ZorvaWriter::DashDot);
  z.line(gx, 135, gx, 260);
  z.lineType(ZorvaWriter::Solid);
  z.textHeight(24);
  z.font("Arial");
  z.textColor(120, 255, 120);
  z.textAlign(ZorvaWriter::Left);
  z.text(gx, 252, "left: Arial");
  z.font("Times New Roman");
  z.textColor(255, 200, 120);
  z.textAlign(ZorvaWriter::Center);
  z.text(gx, 212, "centre: Times");
  z.font("Courier New");
  z.textColor(140, 180, 255);
  z.textAlign(ZorvaWriter::Right);
  z.text(gx, 172, "right: Courier");
  pause(150);
  z.font("Arial");
  z.textHeight(14);
  z.textColor(200, 200, 200);
  z.textAlign(ZorvaWriter::Left);
  for (int w = 1; w <= 6; ++w) {
    const int y = 120 - 16 * (w - 1);
    z.lineWidth(w);
    z.lineColor(255, 255 - 30 * w, 60 * (w - 1) / 2);
    z.line(480, y, 760, y);
    z.text(430, y + 8, "w" + std::to_string(w));
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
    return 1;
  }

  ZorvaWriter z(file);
  z.start();
  z.font("Arial");
  z.textHeight(64);
  z.textAlign(ZorvaWriter::Center);
  z.textColor(255, 255, 255);
  z.text(400, 340, "ZORVA");
  pause(1200);
  z.clear();
  pause(300);

  title(z);
  panels(z);
  pause(300);
  plot(z);
  pause(300);
  rainbow(z);
  pause(300);
  target(z);
  pause(300);
  alignments(z);

  if (!z.ok()) {
    std::fprintf(stderr, "zorva-demo: writing %s failed\n", file.c_str());
    return 1;
  }
  std::printf("zorva-demo: picture drawn into %s; close the window to end the display\n",
              file.c_str());
  return 0;
}
