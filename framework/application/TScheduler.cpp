#include "framework/application/TScheduler.h"

namespace {
TScheduler* current = nullptr;
}  // namespace

TScheduler* TScheduler::Current() { return current; }

void TScheduler::MakeCurrent() { current = this; }

TScheduler::~TScheduler() {
  if (current == this) current = nullptr;
}
