#include "Quantity_graph.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>

#include "Color_ref.h"
#include "Graph_draw.h"
#include "Graph_scale.h"

namespace doz {
namespace {

// Widest tick texts the margins and the label spacing allow for.
const QString kWidestValue = QStringLiteral("-888.8m");
const QString kWidestX = QStringLiteral("-888k");
// A reference curve's screen width, as on the main graph.
constexpr int kReferenceWidth = 1;
// How far beyond the plot, in plot sizes, a curve is still handed to the
// painter before the clip cuts it.
constexpr double kClipMargin = 0.05;
constexpr int kMarkSize = 7;

// A length in screen pixels as device pixels, at least one.
int Px(double screenPixels, double scale) {
  return std::max(1, static_cast<int>(std::lround(screenPixels * scale)));
}

QFontMetricsF Metrics(const QFont& font, const QPaintDevice* device) {
  return device ? QFontMetricsF(font, device) : QFontMetricsF(font);
}

// The model's dashes as long on paper as on screen.
QPen ModelPen(const QColor& color, int width, double scale) {
  QPen pen = DashedPen(color, width);
  const qreal unit = std::max(width, 1);
  pen.setDashPattern({8 * scale / unit, 5 * scale / unit});
  return pen;
}

struct TTicks {
  TAxisTicks X;
  TAxisTicks Y;
};

TTicks TicksFor(const TQuantityAxes& axes, const QRect& plot, const QFontMetricsF& fm) {
  const double across = fm.horizontalAdvance(kWidestX) + fm.height() / 2;
  return {AxisTicks(axes.X, static_cast<int>(plot.width() / across)),
          AxisTicks(axes.Y, static_cast<int>(plot.height() / (3.0 * fm.height())))};
}

bool Inside(const TFractionPoint& f) { return f.X >= 0 && f.X <= 1 && f.Y >= 0 && f.Y <= 1; }

TFractionPoint FractionOf(const TQuantityAxes& axes, const TQuantityPoint& p) {
  return {AxisFraction(axes.X, p.X), AxisFraction(axes.Y, p.Y)};
}

void PaintGrid(QPainter& painter, const QRect& plot, const TQuantityAxes& axes, const TTicks& ticks,
               double scale) {
  const int w = Px(0.5, scale);
  for (const TGridLine& line : ticks.X.Grid) {
    const int x = static_cast<int>(
        std::lround(TQuantityGraph::ToPixels({AxisFraction(axes.X, line.Value), 0}, plot).x()));
    painter.fillRect(QRect(x - (w - 1) / 2, plot.top(), w, plot.height()), GridColor(line.Major));
  }
  for (const TGridLine& line : ticks.Y.Grid) {
    const int y = static_cast<int>(
        std::lround(TQuantityGraph::ToPixels({0, AxisFraction(axes.Y, line.Value)}, plot).y()));
    painter.fillRect(QRect(plot.left(), y - (w - 1) / 2, plot.width(), w), GridColor(line.Major));
  }
}

// One device pixel around the plot, as the printed page frames its plot.
void PaintFrame(QPainter& painter, const QRect& plot) {
  const QRect f = plot.adjusted(-1, -1, 1, 1);
  painter.fillRect(f.left(), f.top(), f.width(), 1, Qt::black);
  painter.fillRect(f.left(), f.bottom(), f.width(), 1, Qt::black);
  painter.fillRect(f.left(), f.top(), 1, f.height(), Qt::black);
  painter.fillRect(f.right(), f.top(), 1, f.height(), Qt::black);
}

QString AxisTitle(TQuantity quantity, bool yAxis) {
  if (quantity == TQuantity::Nyquist)
    return yAxis ? QStringLiteral("-Im Z [Ω]") : QStringLiteral("Re Z [Ω]");
  if (!yAxis) return QStringLiteral("[Hz]");
  const QString unit = QString::fromUtf8(QuantityUnit(quantity));
  return QString::fromUtf8(QuantityName(quantity)) +
         (unit.isEmpty() ? QString() : QStringLiteral(" [") + unit + QStringLiteral("]"));
}

void PaintLabels(QPainter& painter, const QRect& plot, const TQuantityAxes& axes,
                 const TTicks& ticks, TQuantity quantity, double scale) {
  const double h = Metrics(painter.font(), painter.device()).height();
  const double gap = 4 * scale;
  constexpr double kRoom = 1e4;  // wider than any label
  painter.setPen(Qt::black);
  for (double v : ticks.Y.Labels) {
    const double y = TQuantityGraph::ToPixels({0, AxisFraction(axes.Y, v)}, plot).y();
    painter.drawText(QRectF(plot.left() - gap - kRoom, y - h / 2, kRoom, h),
                     Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(TickText(v, ticks.Y.Step)));
  }
  for (double v : ticks.X.Labels) {
    const double x = TQuantityGraph::ToPixels({AxisFraction(axes.X, v), 0}, plot).x();
    painter.drawText(QRectF(x - kRoom / 2, plot.bottom() + gap, kRoom, h),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromStdString(TickText(v, ticks.X.Step)));
  }
  painter.drawText(QRectF(plot.left(), plot.top() - gap - h, plot.width(), h),
                   Qt::AlignLeft | Qt::AlignBottom, AxisTitle(quantity, true));
  painter.drawText(QRectF(plot.left(), plot.bottom() + gap + h, plot.width(), h),
                   Qt::AlignRight | Qt::AlignTop, AxisTitle(quantity, false));
}

}  // namespace

void TQuantityGraph::SetData(const TQuantityInput& input, TQuantity quantity,
                             const TSettingData& setting) {
  std::vector<TCurve> curves;
  const auto add = [&](TRole role, const TCalcData& set, TColorRef color, int width) {
    curves.push_back({role, QuantitySeries(set, input.Band, quantity), ColorFromRef(color), width});
  };
  const int measuredWidth = MeasuredWidth(setting.fwide != 0, false);
  if (input.Measured && input.Measured->Valid != 0)
    add(TRole::Measured, *input.Measured, setting.PenColor_R, measuredWidth);
  for (int k = 0; k < REF_MAX; ++k) {
    const TCalcData* set = input.References[k];
    if (set && set->Valid == 1)
      add(TRole::Reference, *set, setting.PenColor_R_Ref[k], kReferenceWidth);
  }
  // Wider than the measured curve, so that its dashes show where it fits.
  if (input.Model) add(TRole::Model, *input.Model, setting.PenColor_R, measuredWidth + 2);

  // A model that comes or goes keeps the zoom: it does not set the scale.
  const auto scaled = [](const std::vector<TCurve>& all) {
    std::vector<std::vector<TQuantityPoint>> points;
    for (const TCurve& c : all)
      if (c.Role != TRole::Model) points.push_back(c.Points);
    return points;
  };
  if (quantity != quantity_ || input.Band != band_ || scaled(curves) != scaled(curves_))
    zoom_.reset();
  quantity_ = quantity;
  band_ = input.Band;
  curves_ = std::move(curves);
}

bool TQuantityGraph::HasMeasurement() const {
  return std::any_of(curves_.begin(), curves_.end(),
                     [](const TCurve& c) { return c.Role == TRole::Measured; });
}

TQuantityAxes TQuantityGraph::WholeAxes(QSize plot) const {
  double loX = std::numeric_limits<double>::infinity(), hiX = -loX;
  double loY = loX, hiY = -loX;
  for (const TCurve& curve : curves_) {
    if (curve.Role == TRole::Model) continue;
    for (const TQuantityPoint& p : curve.Points) {
      if (!p.Defined) continue;
      loX = std::min(loX, p.X), hiX = std::max(hiX, p.X);
      loY = std::min(loY, p.Y), hiY = std::max(hiY, p.Y);
    }
  }
  if (quantity_ == TQuantity::Nyquist) {
    TQuantityAxes axes{WholeLinearRange(loX, hiX), WholeLinearRange(loY, hiY)};
    EqualAspect(axes.X, axes.Y, plot.width(), plot.height());
    return axes;
  }
  const TAxisRange freq = IsValidBand(band_)
                              ? TAxisRange{double(FreqAxisLow(BandStartFreq(band_))),
                                           double(FreqAxisHigh(BandStopFreq(band_))), true}
                              : TAxisRange{double(BandStartFreq(1)), double(BandStopFreq(1)), true};
  return {freq, WholeValueRange(loY, hiY)};
}

TQuantityAxes TQuantityGraph::Axes(QSize plot) const {
  TQuantityAxes axes = zoom_ ? *zoom_ : WholeAxes(plot);
  if (quantity_ == TQuantity::Nyquist) EqualAspect(axes.X, axes.Y, plot.width(), plot.height());
  return axes;
}

void TQuantityGraph::ZoomAbout(TFractionPoint anchor, double factor, bool zoomX, bool zoomY,
                               QSize plot) {
  TQuantityAxes axes = Axes(plot);
  const bool both = quantity_ == TQuantity::Nyquist;
  if (zoomX || both) axes.X = doz::ZoomAbout(axes.X, anchor.X, factor);
  if (zoomY || both) axes.Y = doz::ZoomAbout(axes.Y, anchor.Y, factor);
  zoom_ = axes;
}

void TQuantityGraph::ZoomTo(TFractionPoint from, TFractionPoint to, QSize plot) {
  TQuantityAxes axes = Axes(plot);
  axes.X = AxisBetween(axes.X, from.X, to.X);
  axes.Y = AxisBetween(axes.Y, from.Y, to.Y);
  zoom_ = axes;
}

QRect TQuantityGraph::PlotRect(const QRect& area, const TQuantityStyle& style,
                               const QPaintDevice* device) {
  const QFontMetricsF fm = Metrics(style.Font, device);
  const double s = style.Scale;
  const double h = fm.height();
  const auto up = [](double v) { return static_cast<int>(std::ceil(v)); };
  const QRect plot =
      area.adjusted(up(fm.horizontalAdvance(kWidestValue) + 8 * s), up(h + 6 * s),
                    -up(fm.horizontalAdvance(kWidestX) / 2 + 6 * s), -up(2 * h + 10 * s));
  return plot.isValid() ? plot : QRect();
}

QPointF TQuantityGraph::ToPixels(const TFractionPoint& f, const QRect& plot) {
  return {plot.left() + f.X * (plot.width() - 1), plot.top() + (1.0 - f.Y) * (plot.height() - 1)};
}

TFractionPoint TQuantityGraph::ToFractions(QPointF p, const QRect& plot) {
  return {(p.x() - plot.left()) / std::max(plot.width() - 1, 1),
          1.0 - (p.y() - plot.top()) / std::max(plot.height() - 1, 1)};
}

int TQuantityGraph::NearestMeasured(QPointF at, const QRect& plot) const {
  if (plot.isEmpty() || curves_.empty() || curves_.front().Role != TRole::Measured) return -1;
  const TQuantityAxes axes = Axes(plot.size());
  int nearest = -1;
  double best = std::numeric_limits<double>::infinity();
  for (const TQuantityPoint& p : curves_.front().Points) {
    if (!p.Defined || !OnAxis(axes.X, p.X) || !OnAxis(axes.Y, p.Y)) continue;
    const TFractionPoint f = FractionOf(axes, p);
    if (!Inside(f)) continue;
    const QPointF d = ToPixels(f, plot) - at;
    const double distance = QPointF::dotProduct(d, d);
    if (distance < best) best = distance, nearest = p.Slot;
  }
  return nearest;
}

void TQuantityGraph::Paint(QPainter& painter, const QRect& area,
                           const TQuantityStyle& style) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setClipRect(area);
  painter.fillRect(area, Qt::white);
  painter.setFont(style.Font);
  const QRect plot = PlotRect(area, style, painter.device());
  if (!plot.isEmpty()) {
    const TQuantityAxes axes = Axes(plot.size());
    const TTicks ticks = TicksFor(axes, plot, Metrics(style.Font, painter.device()));
    PaintGrid(painter, plot, axes, ticks, style.Scale);
    painter.setClipRect(plot);
    for (const TCurve& curve : curves_) PaintCurve(painter, curve, axes, plot, style.Scale);
    PaintMark(painter, axes, plot, style.Scale);
    painter.setClipRect(area);
    PaintFrame(painter, plot);
    PaintLabels(painter, plot, axes, ticks, quantity_, style.Scale);
  }
  painter.restore();
}

void TQuantityGraph::PaintCurve(QPainter& painter, const TCurve& curve, const TQuantityAxes& axes,
                                const QRect& plot, double scale) const {
  const int width = Px(curve.Width, scale);
  const QPen pen = curve.Role == TRole::Model ? ModelPen(curve.Color, width, scale)
                                              : GraphPen(curve.Color, width);
  // A point between two gaps still shows, as a dot of the pen's width; so
  // do points that all fall on one pixel (a resistor's Nyquist plot), which
  // a polyline would leave out.
  const QPen dot(curve.Color, width, Qt::SolidLine, width > 1 ? Qt::RoundCap : Qt::SquareCap);
  const auto paintDot = [&](const QPointF& at) {
    painter.setPen(dot);
    painter.drawPoint(at);
  };
  for (const auto& [first, last] : DrawableRuns(curve.Points, axes.X, axes.Y)) {
    std::vector<TFractionPoint> line;
    for (int i = first; i < last; ++i) line.push_back(FractionOf(axes, curve.Points[i]));
    if (line.size() == 1) {
      if (Inside(line[0])) paintDot(ToPixels(line[0], plot));
      continue;
    }
    for (const std::vector<TFractionPoint>& piece : ClippedPieces(line, kClipMargin)) {
      QPolygonF polyline;
      for (const TFractionPoint& f : piece) polyline << ToPixels(f, plot);
      const QRectF extent = polyline.boundingRect();
      if (extent.width() < 1 && extent.height() < 1) {
        paintDot(polyline.front());
        continue;
      }
      painter.setPen(pen);
      painter.drawPolyline(polyline);
    }
  }
}

void TQuantityGraph::PaintMark(QPainter& painter, const TQuantityAxes& axes, const QRect& plot,
                               double scale) const {
  if (marked_ < 0 || curves_.empty() || curves_.front().Role != TRole::Measured) return;
  for (const TQuantityPoint& p : curves_.front().Points) {
    if (p.Slot != marked_ || !p.Defined || !OnAxis(axes.X, p.X) || !OnAxis(axes.Y, p.Y)) continue;
    const QPointF at = ToPixels(FractionOf(axes, p), plot);
    const double half = kMarkSize * scale / 2;
    painter.setPen(QPen(Qt::black, Px(1, scale)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(at.x() - half, at.y() - half, 2 * half, 2 * half));
  }
}

}  // namespace doz
