#include "export/VectorFile.h"

#include <QIODevice>
#include <QPageSize>
#include <QPdfWriter>

#include "export/SvgWriter.h"
#include "framework/surface/RasterSurface.h"

namespace {
const char kTitle[] = "ZORVA picture";
}  // namespace

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

VectorFile::VectorFile() = default;

VectorFile::~VectorFile() {
  // The painter and the surface go before the devices they draw on.
  painter.reset();
  surface.reset();
  pdf.reset();
  svg.reset();
  device.reset();
}

bool VectorFile::Open(PictureFormat format, const std::string& path, int width, int height,
                      const std::vector<FileId>& inputs, std::string& reason) {
  if (!file.Open(path, inputs)) {
    reason = file.Reason();
    return false;
  }
  if (format == PictureFormat::Svg) {
    svg = std::make_unique<SvgWriter>(
        width, height, [this](const char* bytes, std::size_t size) { return file.Write(bytes, size); }, kTitle);
    surface = std::make_unique<RasterSurface>(svg.get());
  } else {
    device = std::make_unique<OutputDevice>(file);
    pdf = std::make_unique<QPdfWriter>(device.get());
    pdf->setResolution(72);  // one pixel a point
    pdf->setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
    pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf->setTitle(kTitle);
    surface = std::make_unique<RasterSurface>(pdf.get());
    if (!surface->Painting()) {
      reason = file.Reason().empty() ? "the picture could not be written" : file.Reason();
      surface.reset();
      file.Abandon();
      return false;
    }
  }
  opened = true;
  return true;
}

bool VectorFile::Paint(const VectorScene& scene, Clock::time_point until) {
  if (!painter) painter = std::make_unique<VectorScene::Painter>(scene, *surface);
  return painter->Run(until);
}

ExportResult VectorFile::Finish() {
  if (!opened) return {ExportResult::Failed, file.Reason()};
  painter.reset();  // puts back the surface's initial pen and font
  surface->End();   // the writer has the whole picture now
  const bool painted = svg ? !svg->Failed() : true;
  if (!painted) {
    file.Abandon();
    return {ExportResult::Failed, file.Reason().empty() ? "the picture could not be written" : file.Reason()};
  }
  if (!file.Commit()) return {ExportResult::Failed, file.Reason()};
  return {ExportResult::Written, {}};
}
