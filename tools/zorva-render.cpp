// zorva-render: follows a command file as the display window would, without
// a screen, and prints the drawing calls or writes the picture to a file.

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "framework/surface/RasterImage.h"
#include "framework/surface/RasterSurface.h"
#include "framework/surface/RecordingSurface.h"
#include "tools/PngWriter.h"
#include "tools/RenderFile.h"

namespace {

const char kUsage[] =
    "Usage: zorva-render [--size WxH] [--scale F] [--trace] [-o OUT] FILE\n"
    "Follows the command file FILE as the display window would, in a client\n"
    "area of WxH pixels (default 800x600) with a black background and the\n"
    "origin at the bottom-left corner, and stops at its end or at an exit item.\n"
    "FILE is a regular file or a FIFO; a FIFO is read until its writers close it.\n"
    "  --size WxH  the client area, each side 1 to 16384\n"
    "  --scale F   draw a PNG at F device pixels a unit (1 to 4, default 1):\n"
    "              the same picture, F*W x F*H pixels (each at most 16384)\n"
    "  --trace     print every drawing call, one a line\n"
    "  -o OUT      write the final picture to OUT: .png, .svg or .pdf\n"
    "  --help      print this text\n"
    "Exit status: 0 done, 1 FILE or OUT unusable (a directory, device or\n"
    "socket as FILE too), 2 bad usage.\n";

constexpr int kMaxSide = 16384;

enum class Format { None, Png, Svg, Pdf };

struct Options {
  int width = 800, height = 600;
  int scale = 1;
  bool scaleGiven = false;
  bool trace = false;
  std::string out;
  Format format = Format::None;
  std::string file;
};

int usageError(const std::string& why) {
  std::fprintf(stderr, "zorva-render: %s\n%s", why.c_str(), kUsage);
  return 2;
}

bool parseSize(const char* text, int& w, int& h) {
  char* end = nullptr;
  errno = 0;
  long lw = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return false;
  const char* rest = end + 1;
  long lh = std::strtol(rest, &end, 10);
  if (end == rest || *end || errno) return false;
  if (lw < 1 || lh < 1 || lw > kMaxSide || lh > kMaxSide) return false;
  w = static_cast<int>(lw);
  h = static_cast<int>(lh);
  return true;
}

bool parseScale(const char* text, int& scale) {
  char* end = nullptr;
  errno = 0;
  const long f = std::strtol(text, &end, 10);
  if (end == text || *end || errno || f < 1 || f > 4) return false;
  scale = static_cast<int>(f);
  return true;
}

Format formatOf(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return Format::None;
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "png") return Format::Png;
  if (ext == "svg") return Format::Svg;
  if (ext == "pdf") return Format::Pdf;
  return Format::None;
}

// Returns -1 when the arguments are good, else the exit status.
int parseArgs(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--trace") {
      o.trace = true;
    } else if (a == "--size") {
      if (++i >= argc || !parseSize(argv[i], o.width, o.height))
        return usageError("--size needs WxH, each side 1 to 16384");
    } else if (a == "--scale") {
      if (++i >= argc || !parseScale(argv[i], o.scale))
        return usageError("--scale needs a whole number from 1 to 4");
      o.scaleGiven = true;
    } else if (a == "-o") {
      if (++i >= argc) return usageError("-o needs a file name");
      o.out = argv[i];
      o.format = formatOf(o.out);
      if (o.format == Format::None) return usageError("the output must end in .png, .svg or .pdf");
    } else if (a.size() > 1 && a[0] == '-') {
      return usageError("unknown option " + a);
    } else if (o.file.empty()) {
      o.file = a;
    } else {
      return usageError("only one FILE");
    }
  }
  if (o.file.empty()) return usageError("no FILE given");
  if (o.scaleGiven && (o.format == Format::Svg || o.format == Format::Pdf))
    return usageError("--scale is for PNG output; an SVG or PDF picture has no pixels to scale");
  if (static_cast<long>(o.width) * o.scale > kMaxSide || static_cast<long>(o.height) * o.scale > kMaxSide)
    return usageError("--scale makes the picture larger than 16384 pixels a side");
  return -1;
}

// Renders onto a vector paint device held in memory; the bytes are written
// to the file afterwards so that a write failure is seen.
bool renderVector(const Options& o, QBuffer& buffer, RenderResult& result) {
  RasterSurface surface;
  if (o.format == Format::Svg) {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(o.width, o.height));
    svg.setViewBox(QRect(0, 0, o.width, o.height));
    svg.setTitle("ZORVA picture");
    surface.Retarget(&svg);
    result = RenderFile(o.file.c_str(), surface, o.width, o.height);
    surface.End();
  } else {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);  // one pixel a point
    pdf.setPageSize(QPageSize(QSizeF(o.width, o.height), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    surface.Retarget(&pdf);
    result = RenderFile(o.file.c_str(), surface, o.width, o.height);
    surface.End();
  }
  return result.opened;
}

int cannotOpen(const Options& o, const RenderResult& result) {
  std::fprintf(stderr, "zorva-render: cannot open %s: %s\n", o.file.c_str(), result.error.c_str());
  return 1;
}

int cannotWrite(const Options& o) {
  std::fprintf(stderr, "zorva-render: cannot write %s\n", o.out.c_str());
  return 1;
}

int writePicture(const Options& o) {
  RenderResult result;
  if (o.format == Format::Png) {
    // The same drawing in logical units on an image of `scale` device
    // pixels a unit; its stated resolution grows alike, so that it prints
    // at the size of the unscaled picture.
    QImage image = NewRasterImage(o.width * o.scale, o.height * o.scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(o.scale);
    image.setDotsPerMeterX(image.dotsPerMeterX() * o.scale);
    image.setDotsPerMeterY(image.dotsPerMeterY() * o.scale);
    image.fill(Qt::black);
    RasterSurface surface(&image);
    result = RenderFile(o.file.c_str(), surface, o.width, o.height);
    surface.End();
    if (!result.opened) return cannotOpen(o, result);
    if (!SavePng(image, o.out)) return cannotWrite(o);
    return 0;
  } else {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!renderVector(o, buffer, result)) return cannotOpen(o, result);
    QFile file(QString::fromLocal8Bit(o.out.c_str()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(buffer.data()) != buffer.data().size() || !file.flush())
      return cannotWrite(o);
    return 0;
  }
}

// Qt's notes about the runtime folder say nothing about the picture.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (msg.startsWith(QLatin1String("QStandardPaths:"))) return;
  if (type != QtDebugMsg) std::fprintf(stderr, "zorva-render: %s\n", msg.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (int status = parseArgs(argc, argv, o); status >= 0) return status;

  // Fonts need a GUI application; this tool never needs a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietMessages);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);

  try {
    if (o.trace && o.format != Format::None) {
      // Two passes over one file: a FIFO is read once, into a copy.
      RenderResult refused;
      const std::string copy = KeepFifoBytes(o.file.c_str(), refused.error);
      if (copy.empty()) return cannotOpen(o, refused);
      o.file = copy;
    }
    if (o.trace) {
      RecordingSurface recorder(std::cout);
      RenderResult result = RenderFile(o.file.c_str(), recorder, o.width, o.height);
      std::cout.flush();
      if (!result.opened) return cannotOpen(o, result);
    }
    if (o.format != Format::None) return writePicture(o);
    if (!o.trace) {
      // Nothing to show: still follow the file, so that errors are reported.
      RasterSurface surface;
      RenderResult result = RenderFile(o.file.c_str(), surface, o.width, o.height);
      if (!result.opened) return cannotOpen(o, result);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zorva-render: %s\n", e.what());
    return 1;
  }
  return 0;
}
