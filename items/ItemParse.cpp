// Set and readArg: the item reader run over one whole text.

#include "items/ItemReader.h"
#include "items/zvItem.h"

int zvItem::readArg(const char* buf, int* arg) { return ItemReader::ReadField(buf, arg); }

int zvItem::Set(const char* buf) {
  ItemReader reader;
  const int used = reader.Read(*this, buf);
  return reader.Done() ? used : 0;
}
