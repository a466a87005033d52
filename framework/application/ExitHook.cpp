#include "framework/application/ExitHook.h"

#include <atomic>
#include <cstdlib>

namespace {

// The hook is taken whole with one exchange of the function; the context is
// written before the function is published and read after it is taken.
std::atomic<ExitHookFunction> hookFunction{nullptr};
std::atomic<void*> hookContext{nullptr};
std::atomic<bool> registered{false};

static_assert(std::atomic<ExitHookFunction>::is_always_lock_free, "the hook is used in a signal handler");
static_assert(std::atomic<void*>::is_always_lock_free, "the hook is used in a signal handler");

extern "C" void runAtExit() { RunExitHook(); }

}  // namespace

void SetExitHook(ExitHookFunction function, void* context) {
  hookFunction.store(nullptr);
  hookContext.store(context);
  hookFunction.store(function);
  if (function && !registered.exchange(true)) std::atexit(runAtExit);
}

void ClearExitHook(void* context) {
  if (hookContext.load() == context) hookFunction.store(nullptr);
}

void RunExitHook() {
  ExitHookFunction function = hookFunction.exchange(nullptr);
  if (function) function(hookContext.load());
}
