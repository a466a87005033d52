#pragma once
// Text on a raster surface needs a Qt application object. Tests make one on
// first need (offscreen), unless one exists already; it lives until the
// test program ends.

#include <QApplication>
#include <QImage>

inline void EnsureGuiApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "zorva-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// A black RGB32 image.
inline QImage BlackImage(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(0xFF000000u);
  return img;
}

// Pixel colour without alpha, 0xRRGGBB.
inline unsigned Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }
