// Grid lines and curves, painted into a bitmap with integer arithmetic and
// antialiasing off.
#pragma once

#include <QPen>
#include <QRect>
#include <vector>

#include "Doz_setting.h"
#include "Graph_scale.h"

class QImage;
class QPainter;

namespace doz {

enum class TCurveKind { Resistance, Phase };

// A pen as the graph uses it: one-pixel lines end short of their last pixel,
// wider ones have round caps and joins.
QPen GraphPen(const QColor& color, int width);
// A dashed pen of that width with flat ends, for curves that are computed
// rather than measured.
QPen DashedPen(const QColor& color, int width);

// The grid's colours: grey for decades and the middle line, silver for the
// other lines.
QColor GridColor(bool major);

// The frequency grid, then the linear grid (shared by the resistance and the
// phase axis) or, on a logarithmic resistance axis, its decade grid. Print
// widths when `print` is set.
void DrawGrid(QPainter& painter, const TPlotScale& scale, bool logAxis, bool print);

// The segments from point i to i + 1 for i in [from, to), clamped to the
// slots of a data set, with the painter's pen. A segment is left out when an
// end has no value (resistance below 0, or not above 0 for a resistance on
// the logarithmic axis) or no place on the frequency axis (frequency not
// above 0, as in a slot a stopped sweep never reached).
void DrawCurve(QPainter& painter, const TPlotScale& scale, const TCalcData& set, int from, int to,
               TCurveKind kind, bool logAxis);

// The measured curve of one quantity between points from and to, in its
// colour and width (screen or print, thick with the wide pen), whatever the
// set's valid flag: a sweep still running draws this way.
void DrawMeasuredCurve(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                       const TSettingData& setting, TCurveKind kind, int from, int to, bool print);
// The pixels the segment of the measured curve of one quantity from point
// i - 1 to point i can touch on screen: the box of its ends widened by the
// pen; empty where DrawCurve leaves the segment out.
QRect MeasuredSegmentBounds(const TPlotScale& scale, const TGraphRange& range,
                            const TSettingData& setting, TCurveKind kind, int i);
// The whole band of the measured curve, when the measurement is decoded.
void DrawMeasuredBand(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                      const TSettingData& setting, TCurveKind kind, bool print);
// The curves of one quantity of every decoded reference, in slot order.
void DrawReferenceCurves(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                         const TSettingData& setting, TCurveKind kind, bool print);
// The printed plot: the target filled white, the print grid, the measured
// curves (with the references when withRefs, without phase when rOnly) in
// print widths; no labels.
void RenderPlot(QImage& target, const TGraphRange& range, const TSettingData& setting, bool rOnly,
                bool withRefs);
// The colour of the measured curve of one quantity.
QColor MeasuredColor(const TSettingData& setting, TCurveKind kind);
// The measured curve's width on screen or paper.
int MeasuredWidth(bool wide, bool print);
// A filled square, `size` pixels wide, centred on the point of each listed
// slot that DrawCurve would give a place; other slots are left out.
void DrawPointMarks(QPainter& painter, const TPlotScale& scale, const TCalcData& set,
                    const std::vector<int>& marked, TCurveKind kind, bool logAxis,
                    const QColor& color, int size);

}  // namespace doz
