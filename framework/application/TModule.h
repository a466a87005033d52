#pragma once
// A named program module: its name and the report of an exception every
// module can show.

#include <string>

#include "framework/application/TEventHandler.h"
#include "framework/report/Exceptions.h"

// Resource ids of the report's caption and prompt. The program carries no
// string resources, so the fixed texts "Unhandled Exception" and
// "OK to Resume?" are always shown.
enum : unsigned {
  IDS_UNHANDLEDXMSG = 32765,
  IDS_OKTORESUME = 32766,
};

class TModule : public TEventHandler {
public:
  // Keeps a copy of the name; null is an empty name.
  explicit TModule(const char* name = nullptr) : name(name ? name : "") {}
  TModule(const TModule&) = delete;
  TModule& operator=(const TModule&) = delete;

  const char* GetName() const { return name.c_str(); }

  // Reports an exception in a stop-icon box captioned "Unhandled Exception":
  // the message ("Unknown Exception" when empty), and with a prompt id a line
  // break, "OK to Resume?" and the buttons Yes and No; without one an OK
  // button. The text is limited to 255 bytes. Returns 0 for Yes, -1 for No
  // or OK.
  virtual int Error(const xmsg& x, unsigned captionResId, unsigned promptResId = 0);

private:
  std::string name;
};
