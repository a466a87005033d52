#include "framework/application/TModule.h"

#include <cstdio>

#include "framework/application/TApplication.h"
#include "framework/report/ExceptionReport.h"
#include "framework/report/MessageBox.h"

TModule* Module = nullptr;

TModule::TModule(const char* name) : name(name ? name : "") {}

TModule::~TModule() {
  if (Module == this) Module = nullptr;
}

int TModule::Error(const xmsg& x, unsigned /*captionResId*/, unsigned promptResId) {
  return ShowReport(x.why(), promptResId != 0);
}

void TModule::Error(int errorCode) {
  // Room for any int; the shortest buffer that held the text only fitted
  // codes of up to 7 characters.
  char text[64];
  std::snprintf(text, sizeof text, "Error received: error code = %d\nOK to proceed?", errorCode);
  TApplication* app = TApplication::Current();
  const int answer = ShowMessageBox(text, app ? app->GetName() : GetName(), MB_YESNO | MB_ICONSTOP);
  if (answer == IDNO && app) app->PostQuitMessage(0);
}
