#pragma once
// An SVG or PDF file being written from a VectorScene, a part at a time:
// the output opens at once (refusing the inputs, export/OutputFile.h), the
// kept drawings are painted on in slices, and Finish puts the file in
// place. Abandoned before Finish, nothing is left behind.

#include <QMarginsF>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "export/OutputFile.h"
#include "export/PictureExport.h"
#include "export/VectorScene.h"

class QPdfWriter;
class RasterSurface;
class SvgWriter;
class OutputDevice;

class VectorFile {
public:
  using Clock = std::chrono::steady_clock;

  VectorFile();
  // Abandons a file not finished.
  ~VectorFile();
  VectorFile(const VectorFile&) = delete;
  VectorFile& operator=(const VectorFile&) = delete;

  // Opens `path` for a picture of width x height pixels in `format` (SVG or
  // PDF). False, with the reason, when it cannot be opened.
  bool Open(PictureFormat format, const std::string& path, int width, int height,
            const std::vector<FileId>& inputs, std::string& reason);
  // The surface the scene is painted on (to set its view, for one).
  RasterSurface& Surface() { return *surface; }
  // Paints `scene` on until done or `until`; true when done. The scene must
  // not change until then.
  bool Paint(const VectorScene& scene, Clock::time_point until);
  // Ends the picture and puts the file in place.
  ExportResult Finish();

private:
  OutputFile file;
  std::unique_ptr<OutputDevice> device;
  std::unique_ptr<SvgWriter> svg;
  std::unique_ptr<QPdfWriter> pdf;
  std::unique_ptr<RasterSurface> surface;
  std::unique_ptr<VectorScene::Painter> painter;
  bool opened = false;
};
