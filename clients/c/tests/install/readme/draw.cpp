// The C++ program the README's install section builds against a prefix:
// as draw.c, through zorva.hpp.
#include <iostream>
#include <zorva/zorva.hpp>

int main() {
  try {
    Zorva::Options options;
    options.at_close = Zorva::Close::exit;
    Zorva::Display d = Zorva::Display::open({}, options);
    d.start();
    d.line_color(0, 255, 0);
    d.line(10, 10, 200, 150);
    d.arc(150, 100, 40, 0, 90);
    d.text(20, 180, "from C++");
    std::cout << "drew " << d.file() << "\n";
  } catch (const Zorva::Error& e) {
    std::cerr << "draw-cpp: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
