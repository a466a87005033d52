// Set and readArg: the item reader run over one whole text.

#include "items/ItemReader.h"
#include "items/zvItem.h"

int zvItem::readArg(const char* buf, int* arg) { return ItemReader::ReadField(buf, arg); }

int zvItem::Set(const char* buf) { return ItemReader::ReadWhole(*this, buf); }
