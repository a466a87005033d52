#include "export/PictureExport.h"

#include <QIODevice>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>

#include <cctype>

#include "export/PngWriter.h"
#include "export/SvgWriter.h"
#include "export/VectorScene.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RasterImage.h"
#include "framework/surface/RasterSurface.h"
#include "stream/Replay.h"

namespace {

const char kTitle[] = "ZORVA picture";

// Qt's device over an OutputFile, for the PDF writer: its failures keep the
// system's reason.
class OutputDevice : public QIODevice {
public:
  explicit OutputDevice(OutputFile& file) : file(file) { open(QIODevice::WriteOnly); }

protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    return file.Write(data, static_cast<std::size_t>(size)) ? size : -1;
  }

private:
  OutputFile& file;
};

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
  OutputFile file;
  if (!file.Open(path, inputs)) return failed(file, "");
  const bool encoded = EncodePng(
      image, [&file](const unsigned char* bytes, std::size_t size) { return file.Write(bytes, size); }, r.threads);
  if (!encoded) {
    file.Abandon();
    return failed(file, "the picture could not be encoded");
  }
  if (!file.Commit()) return failed(file, "");
  return {ExportResult::Written, {}};
}

ExportResult writeVector(const PictureRequest& r, const std::string& path, const DrawPicture& draw,
                         const std::vector<FileId>& inputs) {
  VectorScene scene(r.width, r.height);
  if (!draw(scene)) return {ExportResult::NotDrawn, {}};
  OutputFile file;
  if (!file.Open(path, inputs)) return failed(file, "");
  bool painted = false;
  if (r.format == PictureFormat::Svg) {
    SvgWriter svg(r.width, r.height,
                  [&file](const char* bytes, std::size_t size) { return file.Write(bytes, size); }, kTitle);
    RasterSurface surface(&svg);
    scene.Paint(surface);
    surface.End();
    painted = !svg.Failed();
  } else {
    OutputDevice device(file);
    QPdfWriter pdf(&device);
    pdf.setResolution(72);  // one pixel a point
    pdf.setPageSize(QPageSize(QSizeF(r.width, r.height), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(kTitle);
    RasterSurface surface(&pdf);
    painted = surface.Painting();
    scene.Paint(surface);
    surface.End();
  }
  if (!painted) {
    file.Abandon();
    return failed(file, "the picture could not be written");
  }
  if (!file.Commit()) return failed(file, "");
  return {ExportResult::Written, {}};
}

}  // namespace

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
