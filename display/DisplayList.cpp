#include "display/DisplayList.h"

itemList displayList(1000, 100);
int clearDisplayList = 1;
