#include "export/PictureExport.h"

#include <QImage>

#include <cctype>

#include "export/PngWriter.h"
#include "export/VectorFile.h"
#include "export/VectorScene.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterImage.h"
#include "framework/surface/RasterSurface.h"
#include "stream/Replay.h"

namespace {

ExportResult failed(const OutputFile& file, const char* otherwise) {
  return {ExportResult::Failed, file.Reason().empty() ? otherwise : file.Reason()};
}

ExportResult writePng(const PictureRequest& r, const std::string& path, const DrawPicture& draw,
                      const std::vector<FileId>& inputs) {
  // The same drawing in logical units on an image of `scale` device pixels
  // a unit; its stated resolution grows alike, so that it prints at the
  // size of the unscaled picture.
  QImage image = NewRasterImage(r.width * r.scale, r.height * r.scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(r.scale);
  image.setDotsPerMeterX(image.dotsPerMeterX() * r.scale);
  image.setDotsPerMeterY(image.dotsPerMeterY() * r.scale);
  image.fill(Qt::black);
  {
    RasterSurface surface(&image);
    if (!draw(surface)) return {ExportResult::NotDrawn, {}};
  }
  return ExportImage(image, path, inputs, r.threads);
}

ExportResult writeVector(const PictureRequest& r, const std::string& path, const DrawPicture& draw,
                         const std::vector<FileId>& inputs) {
  VectorScene scene(r.width, r.height);
  if (!draw(scene)) return {ExportResult::NotDrawn, {}};
  VectorFile out;
  std::string reason;
  if (!out.Open(r.format, path, r.width, r.height, inputs, reason)) return {ExportResult::Failed, reason};
  out.Paint(scene, VectorFile::Clock::time_point::max());
  return out.Finish();
}

}  // namespace

ExportResult ExportImage(const QImage& image, const std::string& path, const std::vector<FileId>& inputs,
                         int threads) {
  OutputFile file;
  if (!file.Open(path, inputs)) return failed(file, "");
  const bool encoded = EncodePng(
      image, [&file](const unsigned char* bytes, std::size_t size) { return file.Write(bytes, size); },
      threads);
  if (!encoded) {
    file.Abandon();
    return failed(file, "the picture could not be encoded");
  }
  if (!file.Commit()) return failed(file, "");
  return {ExportResult::Written, {}};
}

bool PictureFormatOf(const std::string& name, PictureFormat& format) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "png") format = PictureFormat::Png;
  else if (ext == "svg") format = PictureFormat::Svg;
  else if (ext == "pdf") format = PictureFormat::Pdf;
  else return false;
  return true;
}

ExportResult ExportPicture(const PictureRequest& request, const std::string& path, const DrawPicture& draw,
                           const std::vector<FileId>& inputs) {
  std::string reason;
  if (OutputFile::Refused(path, inputs, reason)) return {ExportResult::Failed, reason};
  if (request.format == PictureFormat::Png) return writePng(request, path, draw, inputs);
  return writeVector(request, path, draw, inputs);
}

ExportResult ExportDisplayList(const PictureRequest& request, const std::string& path, DisplayState& state) {
  return ExportPicture(request, path, [&](Surface& surface) {
    TClientDC dc(surface);
    dc.SetViewportOrgEx(0, request.height);
    dc.EraseBkgnd(0, 0, request.width, request.height, TColor(0, 0, 0));
    ReplayDisplayList(state, dc);
    return true;
  });
}
