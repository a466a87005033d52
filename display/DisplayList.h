#pragma once
// The program-wide display list and the flag that lets clear items act.

#include "display/itemList.h"

// Every ordinary item in arrival order; start and clear items refill it with
// the seven attribute items.
extern itemList displayList;

// 1 from a start item (and at program start) until the next ordinary item;
// clear items act only while it is 0.
extern int clearDisplayList;
