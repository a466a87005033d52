// The C++ twin of draw.c, built against an installed zorva.hpp:
//
//   draw-cpp FILE            writes the shared picture into the new FILE
//   draw-cpp --launch FILE   starts a display on FILE, draws, closes it again
#include <cstring>
#include <iostream>
#include <zorva/zorva.hpp>

#include "../shared_picture.hpp"

int main(int argc, char** argv) {
  const bool launch = argc == 3 && std::strcmp(argv[1], "--launch") == 0;
  if (argc != 2 && !launch) {
    std::cerr << "usage: draw-cpp [--launch] FILE\n";
    return 2;
  }
  Zorva::Options options;
  options.launch = launch;
  options.at_close = launch ? Zorva::Close::exit : Zorva::Close::leave_open;
  try {
    Zorva::Display d = Zorva::Display::open(argv[argc - 1], options);
    drawSharedPicture(d);
  } catch (const Zorva::Error& e) {
    std::cerr << "draw-cpp: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
