// The graph of one derived quantity (Rs, Xs, Ls, Cs, Rp, Lp, Cp, Q or D)
// against a logarithmic frequency axis, or the Nyquist plot: the measured
// curve and the references in the settings' colours, a fitted model dashed,
// with the main graph's grid, pens and font. It paints through one QPainter
// path into any area of any device, so the window's widget, a PNG image and
// a PDF page all show the same picture.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRect>
#include <array>
#include <optional>
#include <vector>

#include "Doz_setting.h"
#include "Quantity_axis.h"
#include "Quantity_series.h"

class QPaintDevice;
class QPainter;

namespace doz {

// The data sets the graph draws, as the main graph draws them: a measurement
// whose valid flag is 0 and a reference whose flag is not 1 draw nothing,
// nor does a null one. The model (a circuit on the measurement's
// frequencies) is drawn dashed over them.
struct TQuantityInput {
  int Band = 0;
  const TCalcData* Measured = nullptr;
  std::array<const TCalcData*, REF_MAX> References{};
  const TCalcData* Model = nullptr;
};

// How the picture is painted: the label font and the device pixels per
// screen pixel, for pens, gaps and marks (1 on screen).
struct TQuantityStyle {
  QFont Font;
  double Scale = 1.0;
};

struct TQuantityAxes {
  TAxisRange X;
  TAxisRange Y;
  bool operator==(const TQuantityAxes&) const = default;
};

class TQuantityGraph {
 public:
  // The quantity's curves of the sets in the settings' colours and widths
  // (the measured resistance curve's colour for the measurement and the
  // model, each reference's resistance colour). Other curves than before, or
  // another quantity, show the whole band again.
  void SetData(const TQuantityInput& input, TQuantity quantity, const TSettingData& setting);
  TQuantity Quantity() const { return quantity_; }
  bool HasMeasurement() const;
  // The measured point drawn with a mark; -1 for none.
  void SetMarkedSlot(int slot) { marked_ = slot; }

  // The axes of a plot of this size: as zoomed, or the band's frequencies
  // and every value of the measurement and the references; the Nyquist
  // plot's at equal scales.
  TQuantityAxes Axes(QSize plot) const;
  // The axes chosen zoomed by `factor` about a point given in plot
  // fractions, which keeps its place; the Nyquist plot always zooms both.
  void ZoomAbout(TFractionPoint anchor, double factor, bool zoomX, bool zoomY, QSize plot);
  // The rectangle between two points in plot fractions becomes the plot.
  void ZoomTo(TFractionPoint from, TFractionPoint to, QSize plot);
  void ShowWhole() { zoom_.reset(); }
  bool Zoomed() const { return zoom_.has_value(); }

  // Where the plot lies in `area` on `device`, leaving room for the labels.
  static QRect PlotRect(const QRect& area, const TQuantityStyle& style, const QPaintDevice* device);
  // Fills the area white and paints grid, curves, the mark, the frame around
  // the plot and the labels; nothing outside the area.
  void Paint(QPainter& painter, const QRect& area, const TQuantityStyle& style) const;
  // The slot of the measured point shown nearest to `at` on screen, or -1.
  int NearestMeasured(QPointF at, const QRect& plot) const;

  static QPointF ToPixels(const TFractionPoint& f, const QRect& plot);
  static TFractionPoint ToFractions(QPointF p, const QRect& plot);

 private:
  enum class TRole { Measured, Reference, Model };
  struct TCurve {
    TRole Role = TRole::Measured;
    std::vector<TQuantityPoint> Points;
    QColor Color;
    int Width = 1;  // screen pixels
  };

  TQuantityAxes WholeAxes(QSize plot) const;
  // The curve's pieces in plot fractions: polylines, and lone points.
  void PaintCurve(QPainter& painter, const TCurve& curve, const TQuantityAxes& axes,
                  const QRect& plot, double scale) const;
  void PaintMark(QPainter& painter, const TQuantityAxes& axes, const QRect& plot,
                 double scale) const;

  TQuantity quantity_ = TQuantity::Rs;
  int band_ = 0;
  std::vector<TCurve> curves_;  // in drawing order
  int marked_ = -1;
  std::optional<TQuantityAxes> zoom_;
};

}  // namespace doz
