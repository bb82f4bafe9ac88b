#include "tools/mkdata/hairlines.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace kolbet::mkdata {
namespace {

// A paint engine that hands everything on to a painter on the real picture,
// widening the pen wherever a stroke would come out thinner than the floor.
class HairlineEngine : public QPaintEngine {
 public:
  HairlineEngine(QImage& target, double floor) : QPaintEngine(AllFeatures), target_(target), floor_(floor) {}

  bool begin(QPaintDevice*) override { return out_.begin(&target_); }
  bool end() override { return out_.end(); }
  Type type() const override { return User; }

  void updateState(const QPaintEngineState& s) override {
    const DirtyFlags dirty = s.state();
    if (dirty & DirtyTransform) out_.setTransform(s.transform());
    if (dirty & DirtyPen) pen_ = s.pen();
    if (dirty & (DirtyPen | DirtyTransform)) out_.setPen(Floored(pen_, out_.transform()));
    if (dirty & DirtyBrush) out_.setBrush(s.brush());
    if (dirty & DirtyBrushOrigin) out_.setBrushOrigin(s.brushOrigin());
    if (dirty & DirtyBackground) out_.setBackground(s.backgroundBrush());
    if (dirty & DirtyBackgroundMode) out_.setBackgroundMode(s.backgroundMode());
    if (dirty & DirtyHints) {
      out_.setRenderHints(out_.renderHints(), false);
      out_.setRenderHints(s.renderHints());
    }
    if (dirty & DirtyCompositionMode) out_.setCompositionMode(s.compositionMode());
    if (dirty & DirtyOpacity) out_.setOpacity(s.opacity());
    if (dirty & DirtyClipPath) out_.setClipPath(s.clipPath(), s.clipOperation());
    if (dirty & DirtyClipRegion) out_.setClipRegion(s.clipRegion(), s.clipOperation());
    if (dirty & DirtyClipEnabled) out_.setClipping(s.isClipEnabled());
  }

  void drawPath(const QPainterPath& path) override { out_.drawPath(path); }
  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    switch (mode) {
      case PolylineMode: out_.drawPolyline(points, count); break;
      case ConvexMode: out_.drawConvexPolygon(points, count); break;
      case OddEvenMode: out_.drawPolygon(points, count, Qt::OddEvenFill); break;
      case WindingMode: out_.drawPolygon(points, count, Qt::WindingFill); break;
    }
  }
  void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& source) override {
    out_.drawPixmap(r, pixmap, source);
  }
  void drawImage(const QRectF& r, const QImage& image, const QRectF& source,
                 Qt::ImageConversionFlags flags) override {
    out_.drawImage(r, image, source, flags);
  }

 private:
  // A solid pen that would come out thinner than `floor_` device pixels (as
  // the raster painter measures it, by the transform's larger scale) drawn
  // `floor_` wide and as much fainter, as the scale-1 painter draws a line
  // thinner than a pixel: one pixel wide, its opacity the line's width.
  QPen Floored(QPen pen, const QTransform& m) const {
    if (pen.style() == Qt::NoPen || pen.brush().style() != Qt::SolidPattern) return pen;
    if (pen.isCosmetic()) {
      pen.setWidthF(std::max(pen.widthF(), 1.0) * floor_);
      return pen;
    }
    const double scale =
        std::sqrt(std::max(m.m11() * m.m11() + m.m21() * m.m21(), m.m12() * m.m12() + m.m22() * m.m22()));
    const double width = pen.widthF() * scale;
    if (scale <= 0 || width >= floor_) return pen;
    QColor ink = pen.color();
    ink.setAlphaF(static_cast<float>(ink.alphaF() * width / floor_));
    pen.setColor(ink);
    pen.setWidthF(floor_ / scale);
    return pen;
  }

  QImage& target_;
  double floor_;
  QPainter out_;
  QPen pen_;
};

class HairlineDevice : public QPaintDevice {
 public:
  HairlineDevice(QImage& target, double floor) : target_(target), engine_(target, floor) {}
  ~HairlineDevice() override = default;
  QPaintEngine* paintEngine() const override { return &engine_; }

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth: return target_.width();
      case PdmHeight: return target_.height();
      case PdmWidthMM: return target_.widthMM();
      case PdmHeightMM: return target_.heightMM();
      case PdmNumColors: return target_.colorCount();
      case PdmDepth: return target_.depth();
      case PdmDpiX: return target_.logicalDpiX();
      case PdmDpiY: return target_.logicalDpiY();
      case PdmPhysicalDpiX: return target_.physicalDpiX();
      case PdmPhysicalDpiY: return target_.physicalDpiY();
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
      default: return QPaintDevice::metric(m);
    }
  }

 private:
  QImage& target_;
  mutable HairlineEngine engine_;
};

}  // namespace

void RenderWithScaledHairlines(QSvgRenderer& deck, const QString& id, const QRectF& bounds, QImage& picture,
                               int scale) {
  HairlineDevice device(picture, scale);
  QPainter p(&device);
  p.scale(scale, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  deck.render(&p, id, bounds);
}

}  // namespace kolbet::mkdata
