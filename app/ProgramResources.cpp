#include "app/ProgramResources.h"

#include "framework/resources/TResources.h"

void UseProgramResources() {
  // Compiled into the program as resources under :/zorva/ (app/resources).
  TResources::SetMenu("DRAW_MENU", ":/zorva/DRAW_MENU.menu");
  TResources::SetIcon(32000, ":/zorva/32000.svg");
  TResources::SetProgramName("zorvad");
}
