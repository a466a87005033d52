// The display window's commands that keep and explore the picture: copy,
// save, zoom, pan and the pointer's coordinates. None of them changes the
// display list, the file or what the items do: a new view erases the client
// area and replays the list in it.

#include <cstdlib>

#include "window/ItemExtent.h"
#include "window/TZorvaWindow.h"

namespace {
// A wheel notch.
constexpr int kNotch = 120;
}  // namespace

void TZorvaWindow::CmCopy() {
  if (!CopyClientToClipboard()) MessageBox("There is no clipboard to copy the picture to.", appName(), MB_OK | MB_ICONEXCLAMATION);
}

void TZorvaWindow::applyView() {
  // What is left of a replay would draw in the old view.
  abandonReplay();
  SetClientView(view.Zoom(), view.PanX(), view.PanY());
  retained.SetView(view.Zoom(), view.PanX(), view.PanY());
  Invalidate(true);
}

void TZorvaWindow::CmZoomIn() {
  const TSize size = GetClientSize();
  if (view.ZoomAbout(1, size.cx / 2.0, size.cy / 2.0, size.cy)) applyView();
}

void TZorvaWindow::CmZoomOut() {
  const TSize size = GetClientSize();
  if (view.ZoomAbout(-1, size.cx / 2.0, size.cy / 2.0, size.cy)) applyView();
}

void TZorvaWindow::CmActualSize() {
  view.Reset();
  applyView();
}

void TZorvaWindow::CmFit() {
  const TSize size = GetClientSize();
  view.Fit(ExtentOf(state), size.cx, size.cy);
  applyView();
}

void TZorvaWindow::CmShowCoordinates() {
  showCoordinates = !showCoordinates;
  if (!showCoordinates && !pressed) SetOverlay({});
}

void TZorvaWindow::CeShowCoordinates(TCommandEnabler& enabler) {
  enabler.Enable();
  enabler.SetCheck(showCoordinates);
}

void TZorvaWindow::showPointer(const TPoint& at, bool crosshair) {
  TOverlay overlay;
  overlay.crosshair = crosshair;
  overlay.at = at;
  overlay.label = CoordinateLabel(view, at.x, at.y, GetClientSize().cy);
  SetOverlay(overlay);
}

void TZorvaWindow::EvLButtonDown(unsigned, const TPoint& at) {
  pressed = true;
  panning = false;
  lastAt = at;
  showPointer(at, true);
}

void TZorvaWindow::EvMouseMove(unsigned keys, const TPoint& at) {
  if (pressed && !(keys & MK_LBUTTON)) pressed = panning = false;  // released elsewhere
  if (pressed) {
    if (!panning && std::abs(at.x - lastAt.x) + std::abs(at.y - lastAt.y) < DragDistance()) {
      showPointer(at, true);
      return;
    }
    if (!panning) {
      panning = true;
      SetOverlay({});
    }
    view.Pan(at.x - lastAt.x, at.y - lastAt.y);
    lastAt = at;
    applyView();
    return;
  }
  if (showCoordinates) showPointer(at, false);
}

void TZorvaWindow::EvLButtonUp(unsigned, const TPoint& at) {
  pressed = panning = false;
  if (showCoordinates)
    showPointer(at, false);
  else
    SetOverlay({});
}

void TZorvaWindow::EvMouseWheel(unsigned, int turn, const TPoint& at) {
  wheelRest += turn;
  const int steps = wheelRest / kNotch;
  wheelRest -= steps * kNotch;
  if (steps != 0 && view.ZoomAbout(steps, at.x, at.y, GetClientSize().cy)) applyView();
  if (showCoordinates && !pressed) showPointer(at, false);
}

void TZorvaWindow::EvMouseLeave() {
  if (!pressed) SetOverlay({});
}
