#include "framework/report/Exceptions.h"

#include <cstdio>

std::string NoMessageText(unsigned resId) {
  char text[64];
  std::snprintf(text, sizeof text, "Exception #%u (no message available).", resId);
  return text;
}
