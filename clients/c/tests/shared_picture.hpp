// The picture of shared_picture.h drawn through the C++ interface: the same
// calls in the same order, so the same bytes (tests/e2e/client/picture.zv).
#ifndef ZORVA_TESTS_SHARED_PICTURE_HPP
#define ZORVA_TESTS_SHARED_PICTURE_HPP

#include <zorva/zorva.hpp>

inline void drawSharedPicture(Zorva::Display& d) {
  d.start();
  d.line_color(0, 255, 0);
  d.line(10, 10, 200, 150);
  d.line_width(3);
  d.circle(150, 100, 40);
  d.line_width(1);
  d.line_type(Zorva::LineType::dashed);
  d.arc(300, 100, 50, 0, 135);
  d.line_type(Zorva::LineType::solid);
  d.line_color(255, 128, 0);
  d.polyline(50, 200);
  d.polyvertex(100, 250);
  d.polyvertex(150, 200);
  d.text_color(255, 255, 255);
  d.font("DejaVu Sans");
  d.text_height(20);
  d.text_align(Zorva::Align::center);
  d.text(200, 260, "Zorva");
}

#endif
