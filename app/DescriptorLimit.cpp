#include "app/DescriptorLimit.h"

#include <sys/resource.h>

std::string RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return {};  // nothing known: go on
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= static_cast<rlim_t>(MinDescriptors)) return {};
  return "the limit of open files (" + std::to_string(limit.rlim_cur) + ") is too low; the display needs " +
         std::to_string(MinDescriptors);
}
