#include "stream/DisplayState.h"

void DisplayState::Restart() {
  displayList.Flush();
  listGeneration = 0;
  transparentText = false;
  clearDisplayList = 1;
  resetDrawAttributes();
}
