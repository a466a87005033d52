#include "export/SvgWriter.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QTextItem>

#include <charconv>
#include <climits>
#include <cmath>
#include <string>

namespace {

// Bytes are handed to the sink in chunks of about this size.
constexpr std::size_t kChunk = 64 * 1024;
constexpr int kDpi = 96;  // as a QImage: fonts measure alike on both

// A number as short as it goes, to a thousandth of a pixel.
void appendNumber(std::string& out, double v) {
  v = std::round(v * 1000) / 1000;
  if (v == 0) v = 0;  // no "-0"
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void appendColour(std::string& out, const QColor& c) {
  static const char hex[] = "0123456789abcdef";
  const int parts[] = {c.red(), c.green(), c.blue()};
  out += "\"#";
  for (int p : parts) {
    out += hex[p >> 4];
    out += hex[p & 15];
  }
  out += '"';
}

// Text for an attribute or an element's content; false when a character is
// one XML cannot hold at all.
bool appendEscaped(std::string& out, const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char32_t c = text.at(i).unicode();
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
    if (c == 0xFFFE || c == 0xFFFF) return false;
    if (text.at(i).isSurrogate()) {
      const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
      if (!pair) return false;
      out += text.mid(i, 2).toUtf8().toStdString();
      ++i;
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      default: out += QString(text.at(i)).toUtf8().toStdString();
    }
  }
  return true;
}

}  // namespace

class SvgWriter::Engine : public QPaintEngine {
public:
  Engine(int width, int height, Sink sink, const QString& title)
      : QPaintEngine(AllFeatures & ~(PatternBrush | PerspectiveTransform | ConicalGradientFill | PorterDuff)),
        width(width), height(height), sink(std::move(sink)), title(title) {}

  bool Failed() const { return failed; }

  bool begin(QPaintDevice*) override {
    out.clear();
    group.clear();
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.2\" "
           "baseProfile=\"tiny\" width=\"";
    appendNumber(out, width);
    out += "\" height=\"";
    appendNumber(out, height);
    out += "\" viewBox=\"0 0 ";
    appendNumber(out, width);
    out += ' ';
    appendNumber(out, height);
    out += "\">\n";
    if (!title.isEmpty()) {
      out += "<title>";
      appendEscaped(out, title);
      out += "</title>\n";
    }
    return true;
  }

  bool end() override {
    if (!group.empty()) out += "</g>\n";
    group.clear();
    out += "</svg>\n";
    flush(true);
    return !failed;
  }

  void updateState(const QPaintEngineState& s) override {
    const DirtyFlags f = s.state();
    if (f & DirtyPen) pen = s.pen();
    if (f & DirtyBrush) brush = s.brush();
    if (f & DirtyTransform) transform = s.transform();
    if (f & DirtyHints) antialiased = s.renderHints() & QPainter::Antialiasing;
    if (f & DirtyOpacity) opacity = s.opacity();
  }

  Type type() const override { return User; }

  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

  void drawLines(const QLineF* lines, int count) override {
    if (pen.style() == Qt::NoPen) return;
    const double shift = strokeShift(false);
    openGroup(false);
    out += "<path d=\"";
    for (int i = 0; i < count; ++i) {
      out += 'M';
      point(transform.map(lines[i].p1()), shift);
      out += 'L';
      point(transform.map(lines[i].p2()), shift);
    }
    out += "\"/>\n";
    flush(false);
  }

  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    const bool polyline = mode == PolylineMode;
    if (polyline && pen.style() == Qt::NoPen) return;
    const double shift = strokeShift(!polyline);
    openGroup(!polyline);
    out += polyline ? "<polyline" : "<polygon";
    if (!polyline && mode == OddEvenMode && filled()) out += " fill-rule=\"evenodd\"";
    out += " points=\"";
    for (int i = 0; i < count; ++i) {
      if (i) out += ' ';
      point(transform.map(points[i]), shift, ',');
    }
    out += "\"/>\n";
    flush(false);
  }

  void drawPath(const QPainterPath& path) override {
    const double shift = strokeShift(true);
    openGroup(true);
    out += "<path";
    if (path.fillRule() == Qt::OddEvenFill && filled()) out += " fill-rule=\"evenodd\"";
    out += " d=\"";
    for (int i = 0; i < path.elementCount(); ++i) {
      const QPainterPath::Element& e = path.elementAt(i);
      if (e.isMoveTo()) {
        out += 'M';
      } else if (e.isLineTo()) {
        out += 'L';
      } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
        out += 'C';
        point(transform.map(QPointF(e)), shift);
        out += ' ';
        point(transform.map(QPointF(path.elementAt(i + 1))), shift);
        out += ' ';
        point(transform.map(QPointF(path.elementAt(i + 2))), shift);
        i += 2;
        continue;
      } else {
        continue;
      }
      point(transform.map(QPointF(e)), shift);
    }
    out += "\"/>\n";
    flush(false);
  }

  void drawRects(const QRectF* rects, int count) override {
    if (transform.type() > QTransform::TxScale) {
      QPaintEngine::drawRects(rects, count);
      return;
    }
    const double shift = strokeShift(true);
    openGroup(true);
    for (int i = 0; i < count; ++i) {
      const QRectF r = transform.mapRect(rects[i]).normalized();
      out += "<rect x=\"";
      appendNumber(out, r.x() + shift);
      out += "\" y=\"";
      appendNumber(out, r.y() + shift);
      out += "\" width=\"";
      appendNumber(out, r.width());
      out += "\" height=\"";
      appendNumber(out, r.height());
      out += "\"/>\n";
    }
    flush(false);
  }

  void drawEllipse(const QRectF& rect) override {
    if (transform.type() > QTransform::TxScale) {
      QPaintEngine::drawEllipse(rect);
      return;
    }
    const double shift = strokeShift(true);
    const QRectF r = transform.mapRect(rect).normalized();
    openGroup(true);
    out += "<ellipse cx=\"";
    appendNumber(out, r.center().x() + shift);
    out += "\" cy=\"";
    appendNumber(out, r.center().y() + shift);
    out += "\" rx=\"";
    appendNumber(out, r.width() / 2);
    out += "\" ry=\"";
    appendNumber(out, r.height() / 2);
    out += "\"/>\n";
    flush(false);
  }

  void drawTextItem(const QPointF& p, const QTextItem& item) override {
    std::string content;
    if (transform.type() > QTransform::TxTranslate || !appendEscaped(content, item.text())) {
      QPaintEngine::drawTextItem(p, item);  // the glyphs' outlines, filled through drawPath
      return;
    }
    const QFont f = item.font();
    if (!group.empty()) out += "</g>\n";
    group.clear();
    const QPointF at = transform.map(p);
    out += "<text x=\"";
    appendNumber(out, at.x());
    out += "\" y=\"";
    appendNumber(out, at.y());
    out += "\" fill=";
    appendColour(out, pen.color());
    opacityAttribute(out, "fill-opacity", pen.color());
    out += " font-family=\"";
    appendEscaped(out, f.family());
    out += "\" font-size=\"";
    appendNumber(out, f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF() * kDpi / 72);
    out += '"';
    if (f.weight() != QFont::Normal) {
      out += " font-weight=\"";
      appendNumber(out, f.weight());
      out += '"';
    }
    if (f.italic()) out += " font-style=\"italic\"";
    out += " xml:space=\"preserve\">";
    out += content;
    out += "</text>\n";
    flush(false);
  }

private:
  bool filled() const { return brush.style() != Qt::NoBrush; }

  double penWidth() const {
    if (pen.isCosmetic()) return pen.widthF() > 0 ? pen.widthF() : 1;
    return pen.widthF() * std::sqrt(std::abs(transform.determinant()));
  }

  // Half a pixel for a shape drawn only by an aliased stroke of odd width
  // (see the header); 0 otherwise.
  double strokeShift(bool fillable) const {
    if (antialiased || pen.style() == Qt::NoPen || (fillable && filled())) return 0;
    const double w = penWidth();
    const double whole = std::round(w);
    return std::abs(w - whole) < 1e-9 && static_cast<long long>(whole) % 2 == 1 ? 0.5 : 0;
  }

  void point(const QPointF& p, double shift, char between = ' ') {
    appendNumber(out, p.x() + shift);
    out += between;
    appendNumber(out, p.y() + shift);
  }

  void opacityAttribute(std::string& to, const char* name, const QColor& c) const {
    const double alpha = c.alphaF() * opacity;
    if (alpha >= 1) return;
    to += ' ';
    to += name;
    to += "=\"";
    appendNumber(to, alpha);
    to += '"';
  }

  // Puts the next shape in a group of its look, opening a new group when
  // the look changed.
  void openGroup(bool fillable) {
    std::string look;
    std::swap(look, scratch);
    look.clear();
    if (fillable && filled()) {
      look += "fill=";
      appendColour(look, brush.color());
      opacityAttribute(look, "fill-opacity", brush.color());
    } else {
      look += "fill=\"none\"";
    }
    if (pen.style() == Qt::NoPen) {
      look += " stroke=\"none\"";
    } else {
      look += " stroke=";
      appendColour(look, pen.color());
      opacityAttribute(look, "stroke-opacity", pen.color());
      const double w = penWidth();
      look += " stroke-width=\"";
      appendNumber(look, w);
      look += '"';
      static const char* const caps[] = {"butt", "square", "round"};
      const Qt::PenCapStyle cap = pen.capStyle();
      look += " stroke-linecap=\"";
      look += caps[cap == Qt::SquareCap ? 1 : cap == Qt::RoundCap ? 2 : 0];
      look += '"';
      const Qt::PenJoinStyle join = pen.joinStyle();
      look += join == Qt::RoundJoin   ? " stroke-linejoin=\"round\""
              : join == Qt::BevelJoin ? " stroke-linejoin=\"bevel\""
                                      : " stroke-linejoin=\"miter\"";
      if (join == Qt::MiterJoin || join == Qt::SvgMiterJoin) {
        look += " stroke-miterlimit=\"";
        appendNumber(look, pen.miterLimit());
        look += '"';
      }
      if (pen.style() != Qt::SolidLine) {
        // Qt's dash lengths are in pen widths (at least one pixel).
        const double unit = std::max(w, 1.0);
        look += " stroke-dasharray=\"";
        const QList<qreal> dashes = pen.dashPattern();
        for (qsizetype i = 0; i < dashes.size(); ++i) {
          if (i) look += ',';
          appendNumber(look, dashes[i] * unit);
        }
        look += '"';
        if (pen.dashOffset() != 0) {
          look += " stroke-dashoffset=\"";
          appendNumber(look, pen.dashOffset() * unit);
          look += '"';
        }
      }
    }
    if (look != group) {
      if (!group.empty()) out += "</g>\n";
      out += "<g ";
      out += look;
      out += ">\n";
      std::swap(group, look);
    }
    std::swap(look, scratch);
  }

  void flush(bool all) {
    if (out.size() < kChunk && !all) return;
    if (!failed && !out.empty() && !sink(out.data(), out.size())) failed = true;
    out.clear();
  }

  const int width, height;
  Sink sink;
  QString title;
  std::string out;
  std::string group;    // the look of the open group; empty when none is open
  std::string scratch;  // reused for each shape's look
  bool failed = false;

  QPen pen;
  QBrush brush;
  QTransform transform;
  bool antialiased = false;
  double opacity = 1;
};

SvgWriter::SvgWriter(int width, int height, Sink sink, const QString& title)
    : engine(std::make_unique<Engine>(width, height, std::move(sink), title)), width(width), height(height) {}

SvgWriter::~SvgWriter() = default;

QPaintEngine* SvgWriter::paintEngine() const { return engine.get(); }

bool SvgWriter::Failed() const { return engine->Failed(); }

int SvgWriter::metric(PaintDeviceMetric m) const {
  switch (m) {
    case PdmWidth: return width;
    case PdmHeight: return height;
    case PdmWidthMM: return static_cast<int>(std::lround(width * 25.4 / kDpi));
    case PdmHeightMM: return static_cast<int>(std::lround(height * 25.4 / kDpi));
    case PdmNumColors: return INT_MAX;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return kDpi;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return QPaintDevice::metric(m);
  }
}
