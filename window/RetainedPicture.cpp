#include "window/RetainedPicture.h"

#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterImage.h"
#include "framework/surface/RasterSurface.h"
#include "items/ItemDisplay.h"
#include "stream/DisplayState.h"
#include "stream/Replay.h"

#include <cmath>

namespace {

const TColor kBackground(0, 0, 0);

QSize devicePixels(QSize logical, double ratio) {
  return QSize(static_cast<int>(std::ceil(logical.width() * ratio)),
               static_cast<int>(std::ceil(logical.height() * ratio)));
}

// Items drawn between two looks at the clock.
constexpr int kBatch = 512;

}  // namespace

RetainedPicture::RetainedPicture() = default;

RetainedPicture::~RetainedPicture() { Drop(); }

bool RetainedPicture::Fit(QSize logical, double ratio) {
  if (image && image->devicePixelRatio() == ratio && image->size() == devicePixels(logical, ratio)) return true;
  Drop();
  if (logical.isEmpty() || ratio <= 0) return false;
  const QSize device = devicePixels(logical, ratio);
  auto fresh = std::make_unique<QImage>(NewRasterImage(device.width(), device.height(), QImage::Format_RGB32));
  if (fresh->isNull()) return false;  // no memory for it: resizes replay
  fresh->setDevicePixelRatio(ratio);
  image = std::move(fresh);
  size = logical;
  surface = std::make_unique<RasterSurface>(image.get());
  surface->SetView(zoom, panX, panY);
  dc = std::make_unique<TClientDC>(*surface);
  dc->SetViewportOrgEx(0, logical.height());
  generation = ~0u;  // nothing shown yet: the next catch-up starts afresh
  return true;
}

void RetainedPicture::Drop() {
  dc.reset();  // gives back its pens and fonts
  surface.reset();
  image.reset();
  exact = false;
}

void RetainedPicture::SetView(double newZoom, double newPanX, double newPanY) {
  if (newZoom == zoom && newPanX == panX && newPanY == panY) return;
  zoom = newZoom;
  panX = newPanX;
  panY = newPanY;
  if (!surface) return;
  surface->SetView(zoom, panX, panY);
  generation = ~0u;  // drawn in the old view: the next catch-up starts afresh
}

void RetainedPicture::restart(const DisplayState& state) {
  dc->EraseBkgnd(0, 0, size.width(), size.height(), kBackground);
  dc->SetBkMode(state.transparentText ? TRANSPARENT : OPAQUE);
  attributes.resetDrawAttributes();
  generation = state.listGeneration;
  drawn = 0;
  // Before any start or clear item the list draws with whatever the
  // window's context holds; after one it begins with all seven attributes.
  exact = state.listGeneration != 0;
  positioned = false;
}

bool RetainedPicture::Behind(const DisplayState& state) const {
  if (!dc) return false;
  if (generation != state.listGeneration) return state.listGeneration != 0;
  return exact && drawn < state.displayList.Count();
}

bool RetainedPicture::Matches(const DisplayState& state) const {
  return dc && exact && generation == state.listGeneration && drawn == state.displayList.Count();
}

bool RetainedPicture::CatchUp(DisplayState& state, Clock::time_point until) {
  if (!dc) return false;
  if (generation != state.listGeneration) restart(state);
  if (!exact) return false;
  DisplayTarget target{dc.get(), &attributes};
  const int count = state.displayList.Count();
  while (drawn < count) {
    const int stop = std::min(count, drawn + kBatch);
    if (!positioned) {
      // A vertex before any line or polyline start draws from wherever the
      // window's context stands at the replay.
      for (int i = drawn; i < stop && !positioned; ++i) {
        const int kind = state.displayList[i].GetFunc();
        if (kind == ZV_LINE || kind == ZV_POLYLINE) positioned = true;
        if (kind == ZV_POLYVERTEX && !positioned) {
          exact = false;
          return false;
        }
      }
    }
    ReplayItems(state, target, drawn, stop);
    drawn = stop;
    if (drawn < count && Clock::now() >= until) break;
  }
  surface->Suspend();
  return Matches(state);
}

const QImage& RetainedPicture::Image() {
  if (surface) surface->Suspend();
  return *image;
}
