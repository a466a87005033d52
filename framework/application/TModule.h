#pragma once
// A named program module: its name, a status value, and the two error
// reports every module can show.

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
  explicit TModule(const char* name = nullptr);
  ~TModule() override;
  TModule(const TModule&) = delete;
  TModule& operator=(const TModule&) = delete;

  const char* GetName() const { return name.c_str(); }

  // Reports an exception in a stop-icon box captioned "Unhandled Exception":
  // the message ("Unknown Exception" when empty), and with a prompt id a line
  // break, "OK to Resume?" and the buttons Yes and No; without one an OK
  // button. The text is limited to 255 bytes. Returns 0 for Yes, -1 for No
  // or OK.
  virtual int Error(const xmsg& x, unsigned captionResId, unsigned promptResId = 0);
  // Reports an integer error code: "Error received: error code = <code>\n
  // OK to proceed?", captioned with the current application's name, Yes and
  // No, stop icon. No posts a quit request with the value 0.
  virtual void Error(int errorCode);

  int Status = 0;

private:
  std::string name;
};

// The module the framework's own texts and resources come from: the current
// application once one is constructed.
extern TModule* Module;
