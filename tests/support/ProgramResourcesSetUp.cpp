// The program's pieces are tested with the program's resources, as the
// program runs them.

#include "app/ProgramResources.h"

namespace {
const bool registered = [] {
  UseProgramResources();
  return true;
}();
}  // namespace
