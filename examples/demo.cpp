// A small client of the ZORVA daemon: starts a display through the client
// library and draws a picture with every kind of item, over a few seconds,
// into a window of about 800x600. The window stays open; closing it ends the
// display.
//
//   zorva-demo [--zorvad PATH] [--file COMMAND-FILE]
//
// Without --zorvad the library finds the daemon (see zorva_options); without
// --file it makes a fresh command file in the temporary directory. A file
// named with --file must not exist yet.

#include <zorva/zorva.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

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
void frame(zorva* z, const Box& b) {
  zorva_polyline(z, b.x0, b.y0);
  zorva_polyvertex(z, b.x1, b.y0);
  zorva_polyvertex(z, b.x1, b.y1);
  zorva_polyvertex(z, b.x0, b.y1);
  zorva_polyvertex(z, b.x0, b.y0);
}

void title(zorva* z) {
  zorva_font(z, "Arial");
  zorva_text_height(z, 32);
  zorva_text_align(z, ZORVA_CENTER);
  zorva_text_color(z, 255, 255, 255);
  zorva_text(z, Width / 2, Height - 6, "ZORVA daemon");
  zorva_font(z, "Times New Roman");
  zorva_text_height(z, 18);
  zorva_text_color(z, 170, 170, 190);
  zorva_text(z, Width / 2, Height - 42, "sixteen item kinds, one command file");
}

void panels(zorva* z) {
  zorva_line_color(z, 90, 90, 110);
  zorva_line_width(z, 1);
  zorva_line_type(z, ZORVA_SOLID);
  for (const Box& b : {TopLeft, TopRight, BottomLeft, BottomRight}) frame(z, b);
}

// A plot with a dotted grid, a solid sine and a dashed, damped cosine, drawn
// point by point.
void plot(zorva* z, const Box& b) {
  const int x0 = b.x0 + 18, x1 = b.x1 - 18, y0 = b.cy(), amp = (b.y1 - b.y0) / 2 - 16;
  zorva_line_color(z, 60, 60, 75);
  zorva_line_type(z, ZORVA_DOTTED);
  for (int x = x0; x <= x1; x += (x1 - x0) / 10) zorva_line(z, x, y0 - amp - 6, x, y0 + amp + 6);
  for (int k = -3; k <= 3; ++k) zorva_line(z, x0, y0 + k * amp / 3, x1, y0 + k * amp / 3);
  zorva_line_type(z, ZORVA_SOLID);
  zorva_line_color(z, 200, 200, 200);
  zorva_line(z, x0, y0, x1, y0);
  zorva_line(z, x0, y0 - amp - 6, x0, y0 + amp + 6);

  const double pi = std::acos(-1.0);
  auto sine = [&](int x) { return y0 + int(std::lround(amp * std::sin((x - x0) * 4 * pi / (x1 - x0)))); };
  auto damped = [&](int x) {
    const double t = double(x - x0) / (x1 - x0);
    return y0 + int(std::lround(amp * std::exp(-2.2 * t) * std::cos(t * 6 * pi)));
  };
  zorva_line_color(z, 80, 220, 255);
  zorva_line_width(z, 3);
  zorva_polyline(z, x0, sine(x0));
  for (int x = x0 + 5; x <= x1; x += 5) {
    zorva_polyvertex(z, x, sine(x));
    if (x % 40 == 0) pause(60);
  }
  zorva_polyvertex(z, x1, sine(x1));
  zorva_line_color(z, 255, 160, 40);
  zorva_line_width(z, 1);
  zorva_line_type(z, ZORVA_DASHED);
  zorva_polyline(z, x0, damped(x0));
  for (int x = x0 + 3; x <= x1; x += 3) zorva_polyvertex(z, x, damped(x));
  zorva_polyvertex(z, x1, damped(x1));
  zorva_line_type(z, ZORVA_SOLID);
}

// A rainbow of wide arcs over a sun of circles in a dash-dot halo.
void rainbow(zorva* z, const Box& b) {
  const int cx = b.cx(), cy = b.y0 + 12;
  const int colours[7][3] = {{148, 0, 211}, {75, 0, 130},  {0, 0, 255}, {0, 200, 0},
                             {255, 255, 0}, {255, 127, 0}, {255, 0, 0}};
  zorva_line_width(z, 11);
  for (int i = 0; i < 7; ++i) {
    zorva_line_color(z, colours[i][0], colours[i][1], colours[i][2]);
    zorva_arc(z, cx, cy, 74 + 12 * i, 0, 180);
    pause(80);
  }
  zorva_line_color(z, 255, 220, 60);
  zorva_line_width(z, 2);
  for (int r = 5; r <= 25; r += 5) zorva_circle(z, cx, cy + 32, r);
  zorva_line_color(z, 255, 240, 150);
  zorva_line_type(z, ZORVA_DASH_DOT);
  zorva_line_width(z, 1);
  zorva_arc(z, cx, cy + 32, 32, 90, 90);  // equal angles: the whole circle
  zorva_line_type(z, ZORVA_SOLID);
}

// A target of circles in changing colours and a star.
void target(zorva* z, const Box& b) {
  const int cx = b.x0 + 100, cy = b.cy();
  for (int i = 0; i < 7; ++i) {
    zorva_line_color(z, 255 - 30 * i, 60 + 25 * i, 90 + 20 * i);
    zorva_line_width(z, i % 2 ? 2 : 4);
    zorva_circle(z, cx, cy, 12 + 12 * i);
  }
  pause(150);
  const double pi = std::acos(-1.0);
  const int sx = b.x0 + 268, sy = cy, outer = 76, inner = 30;
  zorva_line_color(z, 255, 230, 0);
  zorva_line_width(z, 3);
  for (int k = 0; k <= 10; ++k) {
    const double a = pi / 2 + k * pi / 5;
    const int r = k % 2 ? inner : outer;
    const int x = sx + int(std::lround(r * std::cos(a)));
    const int y = sy + int(std::lround(r * std::sin(a)));
    if (k == 0)
      zorva_polyline(z, x, y);
    else
      zorva_polyvertex(z, x, y);
  }
}

// The three alignments against a guide, in three faces, and the line widths.
void alignments(zorva* z, const Box& b) {
  const int gx = b.cx();
  zorva_line_color(z, 120, 120, 140);
  zorva_line_width(z, 1);
  zorva_line_type(z, ZORVA_DASH_DOT);
  zorva_line(z, gx, b.y1 - 4, gx, b.y1 - 118);
  zorva_line_type(z, ZORVA_SOLID);
  zorva_text_height(z, 22);
  zorva_font(z, "Arial");
  zorva_text_color(z, 120, 255, 120);
  zorva_text_align(z, ZORVA_LEFT);
  zorva_text(z, gx, b.y1 - 10, "left: Arial");
  zorva_font(z, "Times New Roman");
  zorva_text_color(z, 255, 200, 120);
  zorva_text_align(z, ZORVA_CENTER);
  zorva_text(z, gx, b.y1 - 46, "centre: Times");
  zorva_font(z, "Courier New");
  zorva_text_color(z, 140, 180, 255);
  zorva_text_align(z, ZORVA_RIGHT);
  zorva_text(z, gx, b.y1 - 82, "right: Courier");
  pause(150);
  zorva_font(z, "Arial");
  zorva_text_height(z, 14);
  zorva_text_color(z, 200, 200, 200);
  zorva_text_align(z, ZORVA_LEFT);
  for (int w = 1; w <= 6; ++w) {
    const int y = b.y0 + 100 - 16 * (w - 1);
    zorva_line_width(z, w);
    zorva_line_color(z, 255, 255 - 30 * w, 30 * (w - 1));
    zorva_line(z, b.x0 + 56, y, b.x1 - 16, y);
    std::string label = "w";
    label += std::to_string(w);
    zorva_text(z, b.x0 + 18, y + 8, label.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  zorva_options options{};
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--zorvad") && i + 1 < argc)
      options.zorvad = argv[++i];
    else if (!std::strcmp(argv[i], "--file") && i + 1 < argc)
      file = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--zorvad PATH] [--file COMMAND-FILE]\n", argv[0]);
      return 2;
    }
  }

  zorva* z = nullptr;
  if (zorva_open(&z, file, &options) != ZORVA_OK) {
    std::fprintf(stderr, "zorva-demo: %s\n", zorva_errmsg(z));
    zorva_close(z, ZORVA_LEAVE_OPEN);
    return 1;
  }
  zorva_start(z);
  zorva_font(z, "Arial");
  zorva_text_height(z, 64);
  zorva_text_align(z, ZORVA_CENTER);
  zorva_text_color(z, 255, 255, 255);
  zorva_text(z, Width / 2, Height / 2 + 40, "ZORVA");
  pause(1200);
  zorva_clear(z);
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

  // A failed handle keeps its first failure: one look at the end suffices.
  const int failed = zorva_failed(z);
  if (failed)
    std::fprintf(stderr, "zorva-demo: %s\n", zorva_errmsg(z));
  else
    std::printf("zorva-demo: picture drawn into %s; close the window to end the display\n", zorva_file(z));
  zorva_close(z, ZORVA_LEAVE_OPEN);
  return failed ? 1 : 0;
}
