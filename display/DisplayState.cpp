#include "display/DisplayState.h"

void DisplayState::Restart() {
  displayList.Flush();
  clearDisplayList = 1;
  resetDrawAttributes();
}
