// The C++ twin of e2e_client_picture.c: draws the shared picture through
// zorva.hpp into a display that the library starts, and leaves it open.
//
//   e2e_cpp_picture FILE GO
//
// FILE must not exist yet. Once the display is up the program waits (30 s
// at most) until the file GO exists, then draws: the test holds the display
// meanwhile, so that it reads the whole picture in one step, as
// zorva-render does.
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <thread>
#include <zorva/zorva.hpp>

#include "clients/c/tests/shared_picture.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: e2e_cpp_picture FILE GO\n";
    return 2;
  }
  try {
    Zorva::Display d = Zorva::Display::open(argv[1]);
    for (int i = 0; i < 300 && access(argv[2], F_OK) != 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    drawSharedPicture(d);
  } catch (const Zorva::Error& e) {
    std::cerr << "e2e_cpp_picture: " << e.what() << " (" << e.code().message() << ")\n";
    return 1;
  }
  return 0;
}
