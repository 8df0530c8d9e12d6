#include "Graph_draw.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>

#include "Color_ref.h"

namespace doz {
namespace {

constexpr int kReferenceScreenWidth = 1;
constexpr int kReferencePrintWidth = 5;

const QColor kGrey = GridColor(true);
const QColor kSilver = GridColor(false);

struct TGridWidths {
  int decade;
  int other;
  int linear;
};
constexpr TGridWidths kScreenWidths{1, 1, 1};
constexpr TGridWidths kPrintWidths{4, 3, 2};

bool IsDecade(double t) { return IsDecadeMultiple(t, 1.0); }

// A one-pixel line along an axis is a one-pixel rectangle, far cheaper to
// fill than to stroke; wider lines keep the pen's round caps.
void GridLine(QPainter& painter, const QColor& color, int width, const QLine& line) {
  if (width > 1) {
    painter.setPen(GraphPen(color, width));
    painter.drawLine(line);
  } else {
    painter.fillRect(QRect(line.p1(), line.p2()), color);
  }
}

void DrawFreqGrid(QPainter& painter, const TPlotScale& s, const TGridWidths& widths) {
  if (!s.FreqValid()) return;
  for (double t : GridTicks(s.Freq.Lo, s.Freq.Hi)) {
    const bool decade = IsDecade(t);
    const int x = s.X(t);
    GridLine(painter, decade ? kGrey : kSilver, decade ? widths.decade : widths.other,
             QLine(x, 0, x, s.H));
  }
}

void DrawLinearGrid(QPainter& painter, const TPlotScale& s, const TGridWidths& widths) {
  for (int i = 1; i <= 9; ++i) {
    const int y = i * s.H / 10;
    GridLine(painter, i == 5 ? kGrey : kSilver, widths.linear, QLine(0, y, s.W, y));
  }
}

void DrawLogGrid(QPainter& painter, const TPlotScale& s, const TGridWidths& widths) {
  if (!s.LogValid()) return;
  for (double t : GridTicks(s.Resistance.Lo, s.Resistance.Hi)) {
    const bool decade = IsDecade(t);
    const int y = s.ResistanceY(t, true);
    GridLine(painter, decade ? kGrey : kSilver, decade ? widths.decade : widths.other,
             QLine(0, y, s.W, y));
  }
}

// Whether a curve of that kind can be placed at all on these axes.
bool AxesDrawable(const TPlotScale& s, TCurveKind kind, bool logAxis) {
  if (!s.FreqValid()) return false;
  return kind != TCurveKind::Resistance || !logAxis || s.LogValid();
}

bool HasPlace(const TCalcData& set, int i, TCurveKind kind, bool logAxis) {
  if (!(set.Freq[i] > 0.0)) return false;
  if (kind == TCurveKind::Resistance && logAxis) return set.R[i] > 0.0;
  return set.R[i] >= 0.0;
}

QPoint PointAt(const TPlotScale& s, const TCalcData& set, int i, TCurveKind kind, bool logAxis) {
  const int y =
      kind == TCurveKind::Phase ? s.PhaseY(set.Theta[i]) : s.ResistanceY(set.R[i], logAxis);
  return QPoint(s.X(set.Freq[i]), y);
}

}  // namespace

QColor GridColor(bool major) {
  return major ? QColor(0x80, 0x80, 0x80) : QColor(0xC0, 0xC0, 0xC0);
}

QPen GraphPen(const QColor& color, int width) {
  if (width <= 1) return QPen(color, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen DashedPen(const QColor& color, int width) {
  QPen pen(color, width, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
  // In pen widths: dashes of about eight pixels, gaps of about five.
  const qreal unit = std::max(width, 1);
  pen.setDashPattern({8 / unit, 5 / unit});
  return pen;
}

void DrawGrid(QPainter& painter, const TPlotScale& scale, bool logAxis, bool print) {
  const TGridWidths& widths = print ? kPrintWidths : kScreenWidths;
  DrawFreqGrid(painter, scale, widths);
  if (logAxis)
    DrawLogGrid(painter, scale, widths);
  else
    DrawLinearGrid(painter, scale, widths);
}

void DrawCurve(QPainter& painter, const TPlotScale& scale, const TCalcData& set, int from, int to,
               TCurveKind kind, bool logAxis) {
  if (!AxesDrawable(scale, kind, logAxis)) return;
  from = std::max(from, 0);
  to = std::min(to, DATA_MAX - 1);
  // Runs of neighbouring points with a place go out as one polyline each,
  // at half the cost of their segments one by one; a point with no place
  // ends a run, so both its segments stay out.
  std::array<QPoint, DATA_MAX> run;
  int count = 0;
  const auto flush = [&] {
    if (count > 1) painter.drawPolyline(run.data(), count);
    count = 0;
  };
  for (int i = from; i <= to; ++i) {
    if (HasPlace(set, i, kind, logAxis))
      run[count++] = PointAt(scale, set, i, kind, logAxis);
    else
      flush();
  }
  flush();
}

int MeasuredWidth(bool wide, bool print) {
  if (print) return wide ? 8 : 5;
  return wide ? 3 : 1;
}

QColor MeasuredColor(const TSettingData& setting, TCurveKind kind) {
  return ColorFromRef(kind == TCurveKind::Resistance ? setting.PenColor_R : setting.PenColor_Theta);
}

void DrawMeasuredCurve(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                       const TSettingData& setting, TCurveKind kind, int from, int to, bool print) {
  if (!range.PlotMeas) return;
  painter.setPen(GraphPen(MeasuredColor(setting, kind), MeasuredWidth(setting.fwide != 0, print)));
  DrawCurve(painter, scale, *range.PlotMeas, from, to, kind, setting.flog != 0);
}

QRect MeasuredSegmentBounds(const TPlotScale& scale, const TGraphRange& range,
                            const TSettingData& setting, TCurveKind kind, int i) {
  const bool logAxis = setting.flog != 0;
  if (!range.PlotMeas || i <= 0 || i >= DATA_MAX || !AxesDrawable(scale, kind, logAxis)) return {};
  const TCalcData& set = *range.PlotMeas;
  if (!HasPlace(set, i - 1, kind, logAxis) || !HasPlace(set, i, kind, logAxis)) return {};
  const int pen = MeasuredWidth(setting.fwide != 0, false);
  return QRect(PointAt(scale, set, i - 1, kind, logAxis), PointAt(scale, set, i, kind, logAxis))
      .normalized()
      .adjusted(-pen, -pen, pen, pen);
}

void DrawMeasuredBand(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                      const TSettingData& setting, TCurveKind kind, bool print) {
  if (!range.PlotMeas || range.PlotMeas->Valid == 0 || !IsValidBand(range.Band)) return;
  DrawMeasuredCurve(painter, scale, range, setting, kind, BandFirstIndex(range.Band),
                    BandLastIndex(range.Band), print);
}

void DrawReferenceCurves(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                         const TSettingData& setting, TCurveKind kind, bool print) {
  if (!IsValidBand(range.Band)) return;
  for (int k = 0; k < REF_MAX; ++k) {
    const TCalcData* set = range.PlotRef[k];
    if (!set || set->Valid != 1) continue;
    const TColorRef color =
        kind == TCurveKind::Resistance ? setting.PenColor_R_Ref[k] : setting.PenColor_Theta_Ref[k];
    painter.setPen(GraphPen(ColorFromRef(color), print ? kReferencePrintWidth : kReferenceScreenWidth));
    DrawCurve(painter, scale, *set, BandFirstIndex(range.Band), BandLastIndex(range.Band), kind,
              setting.flog != 0);
  }
}

void RenderPlot(QImage& target, const TGraphRange& range, const TSettingData& setting, bool rOnly,
                bool withRefs) {
  if (target.isNull()) return;
  target.fill(Qt::white);
  QPainter painter(&target);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const TPlotScale scale = MakePlotScale(range, target.width(), target.height());
  DrawGrid(painter, scale, setting.flog != 0, true);
  DrawMeasuredBand(painter, scale, range, setting, TCurveKind::Resistance, true);
  if (withRefs) DrawReferenceCurves(painter, scale, range, setting, TCurveKind::Resistance, true);
  if (rOnly) return;
  DrawMeasuredBand(painter, scale, range, setting, TCurveKind::Phase, true);
  if (withRefs) DrawReferenceCurves(painter, scale, range, setting, TCurveKind::Phase, true);
}

void DrawPointMarks(QPainter& painter, const TPlotScale& scale, const TCalcData& set,
                    const std::vector<int>& marked, TCurveKind kind, bool logAxis,
                    const QColor& color, int size) {
  if (!AxesDrawable(scale, kind, logAxis)) return;
  for (int slot : marked) {
    if (slot < 0 || slot >= DATA_MAX || !HasPlace(set, slot, kind, logAxis)) continue;
    const QPoint p = PointAt(scale, set, slot, kind, logAxis);
    painter.fillRect(QRect(p.x() - size / 2, p.y() - size / 2, size, size), color);
  }
}

}  // namespace doz
