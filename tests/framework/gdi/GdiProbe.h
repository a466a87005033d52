#pragma once
// The tests' view of the graphics-object registry and its wrappers: the
// objects alive, their use counts, the refusals the platform may make, and
// whether a wrapper owns its handle. For tests and benchmarks only.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/gdi/TGdiBase.h"
#include "framework/surface/GdiObjects.h"

struct GdiProbe {
  // Pens and fonts made and not yet deleted.
  static std::vector<GdiHandle> LiveHandles() {
    const GdiObjects::Registry& r = GdiObjects::registry;
    std::vector<GdiHandle> out;
    for (std::uint32_t i = 0; i < r.entries.size(); ++i)
      if (r.entries[i].live) out.push_back(GdiObjects::handleOf(i));
    return out;
  }
  static std::size_t LiveCount() { return LiveHandles().size(); }

  // The use count of a handle, or -1 when it is not counted.
  static int RefCount(GdiHandle handle) {
    const GdiObjects::Entry* s = GdiObjects::entryOf(handle);
    return s && s->count ? s->count : -1;
  }
  // Objects counted.
  static std::size_t TableSize() {
    std::size_t n = 0;
    for (const GdiObjects::Entry& s : GdiObjects::registry.entries) n += s.live && s.count;
    return n;
  }
  // Stops counting a handle without deleting its object: the caller takes
  // the object over.
  static void RefForget(GdiHandle handle) {
    if (GdiObjects::Entry* s = GdiObjects::entryOf(handle)) s->count = 0;
  }

  // The platform refuses the next `count` creations (which return 0) or
  // deletions (which return false). 0 turns it off.
  static void FailNextCreations(int count) { GdiObjects::registry.refuseCreations = count; }
  static void FailNextDeletions(int count) { GdiObjects::registry.refuseDeletions = count; }

  static bool IsOwner(const TGdiBase& object) { return object.ShouldDelete; }
};
