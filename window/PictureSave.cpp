#include "window/PictureSave.h"

#include <QImage>

#include "export/VectorFile.h"
#include "export/VectorScene.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterSurface.h"
#include "stream/DisplayState.h"

PictureSave::PictureSave() = default;

PictureSave::~PictureSave() {
  replay.Abandon();
  dc.reset();
  file.reset();  // abandons an unfinished file
}

bool PictureSave::Begin(PictureFormat format, const std::string& path, const QImage& shown, DisplayState& state,
                        int w, int h, const View& view, const std::vector<FileId>& inputs) {
  std::string refusal;
  if (OutputFile::Refused(path, inputs, refusal)) {
    result = {ExportResult::Failed, refusal};
    return false;
  }
  if (format == PictureFormat::Png) {
    result = ExportImage(shown, path, inputs);
    done = true;
    return result.status == ExportResult::Written;
  }
  file = std::make_unique<VectorFile>();
  std::string reason;
  if (!file->Open(format, path, w, h, inputs, reason)) {
    result = {ExportResult::Failed, reason};
    file.reset();
    return false;
  }
  file->Surface().SetView(view.Zoom(), view.PanX(), view.PanY());
  // The picture a paint with erasing draws, as the window's context would:
  // the list replayed from the start of a cleared client area.
  scene = std::make_unique<VectorScene>(w, h);
  dc = std::make_unique<TClientDC>(*scene);
  dc->SetViewportOrgEx(0, h);
  dc->SetBkMode(state.transparentText ? TRANSPARENT : OPAQUE);
  dc->EraseBkgnd(0, 0, w, h, TColor(0, 0, 0));
  attributes = state;  // as the window's context has them now
  replay.Start(state, *dc, &attributes);
  return true;
}

bool PictureSave::Run(Clock::time_point until) {
  if (done) return true;
  if (replay.Running() && !replay.Run(until)) return false;
  if (dc) dc.reset();  // the scene is complete: its own context ends
  if (!file->Paint(*scene, until)) return false;
  result = file->Finish();
  file.reset();
  scene.reset();
  done = true;
  return true;
}
