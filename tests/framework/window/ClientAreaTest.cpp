// The client area: its image at a device pixel ratio, the region that was
// drawn, painting ended between messages, and redirection.

#include <gtest/gtest.h>

#include <QPainter>
#include <climits>
#include <sstream>

#include "framework/surface/GdiObjects.h"
#include "framework/surface/RecordingSurface.h"
#include "framework/window/TClientArea.h"

namespace {

constexpr std::uint32_t kGreen = 0x0000FF00, kBlue = 0x00FF0000;
constexpr QRgb kGreenPixel = 0xFF00FF00, kBluePixel = 0xFF0000FF;

QRect only(const QRegion& region) {
  EXPECT_LE(region.rectCount(), 1);
  return region.boundingRect();
}

}  // namespace

TEST(ClientArea, WhatWasDrawnIsBoundedByTheItemsAndThePen) {
  TClientArea area;
  area.Resize(QSize(100, 50), 1, kBlue);
  EXPECT_TRUE(area.TakeDrawn().isEmpty()) << "a new image is not a drawing";
  Surface& s = area.Current();

  s.SetViewportOrgEx(0, 50);
  s.MoveToEx(20, -10);
  s.LineTo(10, -30);
  const QRect thin = only(area.TakeDrawn());
  EXPECT_TRUE(thin.contains(QRect(QPoint(10, 20), QPoint(20, 40)))) << "both end points, after the origin";
  EXPECT_LE(thin.width(), 14);
  EXPECT_TRUE(area.TakeDrawn().isEmpty()) << "taken once";

  const GdiHandle wide = GdiObjects::CreatePen(PS_SOLID, 9, 0);
  s.SelectObject(wide);
  s.MoveToEx(50, -25);
  s.LineTo(50, -24);
  EXPECT_TRUE(only(area.TakeDrawn()).contains(QRect(QPoint(46, 21), QPoint(54, 29)))) << "the pen's reach";
  s.SelectObject(GdiObjects::DefaultPen);
  GdiObjects::DeleteObject(wide);

  // Any coordinates: clamped to the area, no overflow.
  s.MoveToEx(INT_MIN, INT_MIN);
  s.LineTo(INT_MAX, INT_MAX);
  EXPECT_EQ(only(area.TakeDrawn()), QRect(0, 0, 100, 50));
  s.Arc(INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, 0, 0, 0, 0);
  EXPECT_TRUE(area.TakeDrawn().isEmpty()) << "an arc far outside draws nowhere here";
  s.EraseBkgnd(90, 40, 1000, 1000, kGreen);
  EXPECT_EQ(only(area.TakeDrawn()), QRect(90, 40, 10, 10));
}

TEST(ClientArea, PaintingOnTheImageEndsWhenTheDrawingIsTaken) {
  TClientArea area;
  area.Resize(QSize(20, 20), 1, kBlue);
  QPainter other;
  EXPECT_TRUE(other.begin(&area.Image())) << "nothing paints on a new image";
  other.end();
  area.Current().EraseBkgnd(0, 0, 5, 5, kGreen);
  EXPECT_EQ(area.Image().pixel(2, 2), kGreenPixel);
  area.TakeDrawn();
  EXPECT_TRUE(other.begin(&area.Image())) << "nothing paints on the image between messages";
  other.end();
  // Drawing begins again after that, with the state kept.
  area.Current().EraseBkgnd(10, 10, 5, 5, kGreen);
  EXPECT_EQ(area.Image().pixel(12, 12), kGreenPixel);
}

TEST(ClientArea, ResizingKeepsPixelsAtOneRatioAndStartsAfreshAtAnother) {
  TClientArea area;
  EXPECT_EQ(only(area.Resize(QSize(10, 10), 1, kBlue)), QRect(0, 0, 10, 10));
  area.Current().EraseBkgnd(0, 0, 10, 10, kGreen);
  area.TakeDrawn();
  const QRegion grown = area.Resize(QSize(20, 10), 1, kBlue);
  EXPECT_EQ(grown, QRegion(QRect(10, 0, 10, 10))) << "only the uncovered part";
  EXPECT_EQ(area.Image().pixel(9, 9), kGreenPixel);
  EXPECT_EQ(area.Image().pixel(10, 9), kBluePixel);
  EXPECT_TRUE(area.Resize(QSize(20, 10), 1, kBlue).isEmpty()) << "no change, no new image";

  // Another ratio: twice the device pixels, nothing kept, all of it to paint.
  EXPECT_EQ(only(area.Resize(QSize(20, 10), 2, kBlue)), QRect(0, 0, 20, 10));
  const QImage& image = area.Image();
  EXPECT_EQ(image.size(), QSize(40, 20));
  EXPECT_EQ(image.devicePixelRatio(), 2.0);
  EXPECT_EQ(image.pixel(0, 0), kBluePixel);
  // Erasing is in logical pixels: one logical pixel is a 2x2 block.
  area.Erase(QRegion(1, 1, 1, 1), kGreen);
  for (QPoint p : {QPoint(2, 2), QPoint(3, 2), QPoint(2, 3), QPoint(3, 3)})
    EXPECT_EQ(image.pixel(p), kGreenPixel) << p.x() << "," << p.y();
  for (QPoint p : {QPoint(1, 1), QPoint(4, 2), QPoint(2, 4)})
    EXPECT_EQ(image.pixel(p), kBluePixel) << p.x() << "," << p.y();
  EXPECT_EQ(only(area.TakeDrawn()), QRect(1, 1, 1, 1)) << "drawn regions are logical too";
}

TEST(ClientArea, ARedirectedAreaDrawsOnlyOnItsSurface) {
  TClientArea area;
  area.Resize(QSize(30, 20), 1, kBlue);
  std::ostringstream trace;
  RecordingSurface recording(trace);
  area.Redirect(&recording);
  EXPECT_EQ(&area.Current(), &recording);
  area.Erase(QRegion(0, 0, 40, 40), kGreen);
  EXPECT_EQ(area.Image().pixel(5, 5), kBluePixel) << "the image is left alone";
  EXPECT_EQ(trace.str(), "EraseBkgnd(0,0,30,20,0x0000FF00)\n");
  EXPECT_TRUE(area.TakeDrawn().isEmpty());
  area.Redirect(nullptr);
  area.Erase(QRegion(0, 0, 1, 1), kGreen);
  EXPECT_EQ(area.Image().pixel(0, 0), kGreenPixel);
}
