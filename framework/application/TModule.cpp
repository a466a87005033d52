#include "framework/application/TModule.h"

#include "framework/report/ExceptionReport.h"

int TModule::Error(const xmsg& x, unsigned /*captionResId*/, unsigned promptResId) {
  return ShowReport(x.why(), promptResId != 0);
}
