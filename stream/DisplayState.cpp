#include "stream/DisplayState.h"

void DisplayState::Restart() {
  displayList.Flush();
  clearDisplayList = 1;
  resetDrawAttributes();
}
