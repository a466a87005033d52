#include "framework/application/TEventHandler.h"

bool TEventHandler::Find(TEventInfo&) { return false; }

LRESULT TEventHandler::Dispatch(TEventInfo& info, WPARAM wParam, LPARAM lParam) {
  return info.Entry->Dispatcher(*info.Object, wParam, lParam);
}

bool TEventHandler::FindAndDispatch(unsigned msg, unsigned id, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
  TEventInfo info(msg, id);
  if (!Find(info)) return false;
  result = Dispatch(info, wParam, lParam);
  return true;
}

bool TEventHandler::SearchEntries(const TResponseTableEntry* entries, TEventInfo& info) {
  for (const TResponseTableEntry* row = entries; row && row->Dispatcher; ++row) {
    if (row->Msg == info.Msg && row->Id == info.Id) {
      info.Entry = row;
      info.Object = this;
      return true;
    }
  }
  return false;
}
