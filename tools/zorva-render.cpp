// zorva-render: follows a command file as the display window would, without
// a screen, and prints the drawing calls or writes the picture to a file.

#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "export/OutputFile.h"
#include "export/PictureExport.h"
#include "framework/surface/RasterSurface.h"
#include "framework/surface/RecordingSurface.h"
#include "tools/RenderFile.h"

namespace {

const char kUsage[] =
    "Usage: zorva-render [--size WxH] [--scale F] [--threads N] [--trace] [-o OUT] FILE\n"
    "Follows the command file FILE as the display window would, in a client\n"
    "area of WxH pixels (default 800x600) with a black background and the\n"
    "origin at the bottom-left corner, and stops at its end or at an exit item.\n"
    "FILE is a regular file or a FIFO, or - for standard input; a FIFO is read\n"
    "until its writers close it.\n"
    "  --size WxH  the client area, each side 1 to 16384\n"
    "  --scale F   draw a PNG at F device pixels a unit (1 to 4, default 1):\n"
    "              the same picture, F*W x F*H pixels (each at most 16384)\n"
    "  --threads N work on at most N threads (1 to 64; default: one a\n"
    "              processor it may run on); the same trace and pixels\n"
    "  --trace     print every drawing call, one a line\n"
    "  -o OUT      write the final picture to OUT: .png, .svg or .pdf; OUT is\n"
    "              replaced only once the picture is written whole, and is\n"
    "              never FILE itself\n"
    "  --version   print the version\n"
    "  --help      print this text\n"
    "  --          FILE follows, even one whose name begins with -\n"
    "Exit status: 0 done, 1 FILE or OUT unusable (a directory, device or\n"
    "socket as FILE too, or OUT the same file as FILE), 2 bad usage.\n";

constexpr int kMaxSide = 16384;

struct Options {
  int width = 800, height = 600;
  int scale = 1;
  bool scaleGiven = false;
  int threads = 0;  // 0: one a processor
  bool trace = false;
  bool picture = false;  // -o given
  std::string out;
  PictureFormat format = PictureFormat::Png;
  std::string file;  // the name opened
  std::string name;  // the name in messages
  bool standardInput = false;
};

// One line on what was wrong; the usage text only on --help.
int usageError(const std::string& why) {
  std::fprintf(stderr, "zorva-render: %s (try --help)\n", why.c_str());
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

bool parseThreads(const char* text, int& threads) {
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(text, &end, 10);
  if (end == text || *end || errno || n < 1 || n > 64) return false;
  threads = static_cast<int>(n);
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

// Returns -1 when the arguments are good, else the exit status.
int parseArgs(int argc, char** argv, Options& o) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (optionsEnded || a == "-" || a.empty() || a[0] != '-') {
      if (!o.file.empty()) return usageError("only one FILE");
      o.standardInput = a == "-" && !optionsEnded;
      // Standard input opened anew, so that it is checked and followed as
      // a named file is.
      o.file = o.standardInput ? "/dev/stdin" : a;
      o.name = o.standardInput ? "standard input" : a;
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--version") {
      std::printf("zorva-render %s\n", ZORVA_VERSION);
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
    } else if (a == "--threads") {
      if (++i >= argc || !parseThreads(argv[i], o.threads))
        return usageError("--threads needs a whole number from 1 to 64");
    } else if (a == "-o") {
      if (++i >= argc) return usageError("-o needs a file name");
      o.out = argv[i];
      o.picture = true;
      if (!PictureFormatOf(o.out, o.format)) return usageError("the output must end in .png, .svg or .pdf");
    } else {
      return usageError("unknown option " + a);
    }
  }
  if (o.file.empty()) return usageError("no FILE given");
  if (o.scaleGiven && o.picture && o.format != PictureFormat::Png)
    return usageError("--scale is for PNG output; an SVG or PDF picture has no pixels to scale");
  if (static_cast<long>(o.width) * o.scale > kMaxSide || static_cast<long>(o.height) * o.scale > kMaxSide)
    return usageError("--scale makes the picture larger than 16384 pixels a side");
  return -1;
}

int cannotOpen(const Options& o, const std::string& reason) {
  std::fprintf(stderr, "zorva-render: cannot open %s: %s\n", o.name.c_str(), reason.c_str());
  return 1;
}

int cannotWrite(const Options& o, const std::string& reason) {
  std::fprintf(stderr, "zorva-render: cannot write %s: %s\n", o.out.c_str(), reason.c_str());
  return 1;
}

int writePicture(const Options& o, const std::vector<FileId>& inputs) {
  PictureRequest request;
  request.format = o.format;
  request.width = o.width;
  request.height = o.height;
  request.scale = o.scale;
  request.threads = o.threads;
  RenderResult rendered;
  const ExportResult written = ExportPicture(
      request, o.out,
      [&](Surface& surface) {
        rendered = RenderFile(o.file.c_str(), surface, o.width, o.height, o.threads);
        return rendered.opened;
      },
      inputs);
  if (written.status == ExportResult::NotDrawn) return cannotOpen(o, rendered.error);
  if (written.status == ExportResult::Failed) return cannotWrite(o, written.reason);
  return 0;
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

  // The output must not be the file read, under whatever name.
  std::vector<FileId> inputs;
  if (FileId id; o.standardInput ? FileIdOfFd(0, id) : FileIdOfPath(o.file, id)) inputs.push_back(id);
  if (std::string why; o.picture && OutputFile::Refused(o.out, inputs, why)) return cannotWrite(o, why);

  // Fonts need a GUI application; this tool never needs a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietMessages);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);

  try {
    if (o.trace && o.picture) {
      // Two passes over one file: a FIFO is read once, into a copy.
      std::string error;
      const std::string copy = KeepFifoBytes(o.file.c_str(), error);
      if (copy.empty()) return cannotOpen(o, error);
      o.file = copy;
    }
    if (o.trace) {
      RecordingSurface recorder(std::cout);
      const RenderResult result = RenderFile(o.file.c_str(), recorder, o.width, o.height, o.threads);
      std::cout.flush();
      if (!result.opened) return cannotOpen(o, result.error);
    }
    if (o.picture) return writePicture(o, inputs);
    if (!o.trace) {
      // Nothing to show: still follow the file, so that errors are reported.
      RasterSurface surface;
      const RenderResult result = RenderFile(o.file.c_str(), surface, o.width, o.height, o.threads);
      if (!result.opened) return cannotOpen(o, result.error);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zorva-render: %s\n", e.what());
    return 1;
  }
  return 0;
}
