#pragma once
// Saving the display's picture to a file while the window goes on answering
// its events. PNG is the client area's pixels as they are shown, written at
// once. SVG and PDF are the current view drawn anew from the display list
// as vectors, through the same rendering zorva-render uses (export/): first
// the list is replayed into a scene in slices, then the scene is painted
// into the file in slices. The list must not change while it is replayed
// (ReadsList); the window holds the stream back meanwhile, as during a
// replay. The file appears only whole; a save abandoned (the window closes)
// leaves nothing behind.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "export/OutputFile.h"
#include "export/PictureExport.h"
#include "items/DrawAttributes.h"
#include "window/SlicedReplay.h"
#include "window/View.h"

class QImage;
class TClientDC;
class VectorFile;
class VectorScene;
struct DisplayState;

class PictureSave {
public:
  using Clock = std::chrono::steady_clock;

  PictureSave();
  ~PictureSave();
  PictureSave(const PictureSave&) = delete;
  PictureSave& operator=(const PictureSave&) = delete;

  // Begins saving to `path` in `format`: `shown` is the client area's
  // image, `state` the display's list, w x h the client area, `view` what
  // it shows, `inputs` the files the picture must not be written over.
  // False, with Result() telling why, when the file cannot be opened.
  bool Begin(PictureFormat format, const std::string& path, const QImage& shown, DisplayState& state, int w,
             int h, const View& view, const std::vector<FileId>& inputs);
  // Whether the list is being replayed into the scene.
  bool ReadsList() const { return replay.Running(); }
  // Goes on until done or `until`; true when done (Result() tells how).
  bool Run(Clock::time_point until);
  const ExportResult& Result() const { return result; }

private:
  std::unique_ptr<VectorScene> scene;
  std::unique_ptr<TClientDC> dc;  // on the scene
  std::unique_ptr<VectorFile> file;
  SlicedReplay replay;
  DrawAttributes attributes;  // its replay's own: the window's go on meanwhile
  bool done = false;
  ExportResult result;
};
