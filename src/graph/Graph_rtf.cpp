#include "Graph_rtf.h"

#include <QLabel>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "Color_ref.h"

namespace doz {
namespace {

constexpr int kReferenceScreenWidth = 1;
constexpr int kReferencePrintWidth = 5;

int MeasuredWidth(bool wide, bool print) {
  if (print) return wide ? 8 : 5;
  return wide ? 3 : 1;
}

// Pixels land where the integer arithmetic puts them.
void PreparePainter(QPainter& painter) { painter.setRenderHint(QPainter::Antialiasing, false); }

}  // namespace

template <class TDraw>
void TGraph_RTF::DrawPass(bool withScales, TDraw draw) {
  if (withScales) DrawScales();
  if (!image_.isNull()) {
    QPainter painter(&image_);
    PreparePainter(painter);
    const TPlotScale scale = Scale();
    draw(painter, scale);
    if (const auto overlay = overlay_.lock()) overlay->Draw(painter, scale, range_, setting_);
  }
  Present();
}

TGraph_RTF::TGraph_RTF(QWidget& owner, TPaintBox& paintBox, const TSettingData& setting,
                       const TLabelTable& labels, TGraphRange& range)
    : owner_(owner), paintBox_(&paintBox), setting_(setting), labels_(labels), range_(range) {
  // Labels follow their texts in size: DrawScales sizes each one after
  // setting its text.
  for (QLabel* label : labels_)
    if (label) label->adjustSize();
  Resize();
}

TGraph_RTF::~TGraph_RTF() {
  if (paintBox_ && paintBox_->Image() == &image_) paintBox_->ShowImage(nullptr);
}

int TGraph_RTF::FreqAxisLow(double f) { return doz::FreqAxisLow(f); }
int TGraph_RTF::FreqAxisHigh(double f) { return doz::FreqAxisHigh(f); }

void TGraph_RTF::Resize() {
  if (!paintBox_) return;
  boxWidth_ = paintBox_->width();
  boxHeight_ = paintBox_->height();
  const int w = std::max(boxWidth_ - 2, 0);
  const int h = std::max(boxHeight_ - 2, 0);
  if (image_.width() == w && image_.height() == h) return;
  image_ = QImage(w, h, QImage::Format_RGB32);
  image_.fill(Qt::white);
}

void TGraph_RTF::Present() {
  if (paintBox_) paintBox_->ShowImage(&image_);
}

void TGraph_RTF::Clear() {
  if (!image_.isNull()) {
    image_.fill(Qt::white);
    QPainter painter(&image_);
    PreparePainter(painter);
    DrawGrid(painter, Scale(), setting_.flog != 0, false);
  }
  Present();
}

void TGraph_RTF::DrawScales() {
  if (!paintBox_) return;
  const TLabelFrame frame = Frame();
  const TPlotScale scale = Scale();
  PlaceFreqLabels(labels_, frame, scale);
  if (setting_.flog)
    PlaceLogResistanceLabels(labels_, frame, scale);
  else
    PlaceLinearResistanceLabels(labels_, frame, scale);
  if (setting_.fronly)
    HidePhaseLabels(labels_);
  else
    PlacePhaseLabels(labels_, frame, scale);
}

void TGraph_RTF::DrawMeasurement() {
  DrawPass(true, [this](QPainter& painter, const TPlotScale& scale) {
    DrawMeasuredBand(painter, scale, TCurveKind::Resistance, false);
    if (!setting_.fronly) DrawMeasuredBand(painter, scale, TCurveKind::Phase, false);
  });
}

void TGraph_RTF::DrawMeasurementUpTo(int n) {
  if (!IsValidBand(range_.Band)) return;
  const int first = BandFirstIndex(range_.Band);
  const int to = first + std::clamp(n, 0, BandLastIndex(range_.Band) - first);
  DrawPass(true, [this, first, to](QPainter& painter, const TPlotScale& scale) {
    DrawMeasured(painter, scale, TCurveKind::Resistance, first, to, false);
    if (!setting_.fronly) DrawMeasured(painter, scale, TCurveKind::Phase, first, to, false);
  });
}

void TGraph_RTF::DrawMeasurementSegment(int k) {
  if (image_.isNull() || k <= 0 || k >= DATA_MAX || !range_.PlotMeas) {
    Present();
    return;
  }
  const TPlotScale scale = Scale();
  {
    QPainter painter(&image_);
    PreparePainter(painter);
    DrawMeasured(painter, scale, TCurveKind::Resistance, k - 1, k, false);
    if (!setting_.fronly) DrawMeasured(painter, scale, TCurveKind::Phase, k - 1, k, false);
  }
  // Only the columns the segment can touch reach the screen again.
  const std::array<double, DATA_MAX>& freq = range_.PlotMeas->Freq;
  if (!scale.FreqValid() || freq[k - 1] <= 0.0 || freq[k] <= 0.0) {
    Present();
    return;
  }
  // By value: std::minmax of two temporaries would hand back dangling references.
  const int x0 = scale.X(freq[k - 1]);
  const int x1 = scale.X(freq[k]);
  const int left = std::min(x0, x1);
  const int right = std::max(x0, x1);
  const int pen = MeasuredWidth(setting_.fwide != 0, false);
  if (paintBox_)
    paintBox_->ShowImage(&image_, QRect(left - pen, 0, right - left + 2 * pen + 1, image_.height()));
}

void TGraph_RTF::DrawReferences() {
  DrawPass(true, [this](QPainter& painter, const TPlotScale& scale) {
    DrawReferenceCurves(painter, scale, TCurveKind::Resistance, false);
    if (!setting_.fronly) DrawReferenceCurves(painter, scale, TCurveKind::Phase, false);
  });
}

void TGraph_RTF::DrawAll() {
  DrawPass(true, [this](QPainter& painter, const TPlotScale& scale) {
    DrawMeasuredBand(painter, scale, TCurveKind::Resistance, false);
    DrawReferenceCurves(painter, scale, TCurveKind::Resistance, false);
    if (setting_.fronly) return;
    DrawMeasuredBand(painter, scale, TCurveKind::Phase, false);
    DrawReferenceCurves(painter, scale, TCurveKind::Phase, false);
  });
}

void TGraph_RTF::RenderForPrint(QImage& target, bool rOnly, bool withRefs) const {
  if (target.isNull()) return;
  target.fill(Qt::white);
  QPainter painter(&target);
  PreparePainter(painter);
  const TPlotScale scale = MakePlotScale(range_, target.width(), target.height());
  DrawGrid(painter, scale, setting_.flog != 0, true);
  DrawMeasuredBand(painter, scale, TCurveKind::Resistance, true);
  if (withRefs) DrawReferenceCurves(painter, scale, TCurveKind::Resistance, true);
  if (rOnly) return;
  DrawMeasuredBand(painter, scale, TCurveKind::Phase, true);
  if (withRefs) DrawReferenceCurves(painter, scale, TCurveKind::Phase, true);
}

void TGraph_RTF::FreqLabelPositions(const TPrintGeometry& g, std::array<int, 11>& x,
                                    std::array<int, 11>& y) const {
  FreqPrintPositions(labels_, MakePlotScale(range_, g.Width, g.Height), g, x, y);
}

void TGraph_RTF::ResistanceLabelPositions(const TPrintGeometry& g, std::array<int, 12>& x,
                                          std::array<int, 12>& y) const {
  if (setting_.flog)
    LogResistancePrintPositions(labels_, MakePlotScale(range_, g.Width, g.Height), g, x, y);
  else
    LinearResistancePrintPositions(labels_, g, x, y);
}

void TGraph_RTF::PhaseLabelPositions(const TPrintGeometry& g, std::array<int, 12>& x,
                                     std::array<int, 12>& y) const {
  if (!setting_.fronly) PhasePrintPositions(labels_, g, x, y);
}

TPlotScale TGraph_RTF::Scale() const {
  return MakePlotScale(range_, image_.width(), image_.height());
}

TLabelFrame TGraph_RTF::Frame() const {
  // The paint box may sit inside another child of the owner.
  const QPoint origin =
      owner_.isAncestorOf(paintBox_) ? paintBox_->mapTo(&owner_, QPoint(0, 0)) : paintBox_->pos();
  return TLabelFrame{origin.x(), origin.y(), boxWidth_, boxHeight_};
}

bool TGraph_RTF::MeasurementValid() const { return range_.PlotMeas && range_.PlotMeas->Valid != 0; }

void TGraph_RTF::DrawMeasured(QPainter& painter, const TPlotScale& scale, TCurveKind kind, int from,
                              int to, bool print) const {
  if (!range_.PlotMeas) return;
  const TColorRef color =
      kind == TCurveKind::Resistance ? setting_.PenColor_R : setting_.PenColor_Theta;
  painter.setPen(GraphPen(ColorFromRef(color), MeasuredWidth(setting_.fwide != 0, print)));
  DrawCurve(painter, scale, *range_.PlotMeas, from, to, kind, setting_.flog != 0);
}

void TGraph_RTF::DrawMeasuredBand(QPainter& painter, const TPlotScale& scale, TCurveKind kind,
                                  bool print) const {
  if (!MeasurementValid() || !IsValidBand(range_.Band)) return;
  DrawMeasured(painter, scale, kind, BandFirstIndex(range_.Band), BandLastIndex(range_.Band),
               print);
}

void TGraph_RTF::DrawReferenceCurves(QPainter& painter, const TPlotScale& scale, TCurveKind kind,
                                     bool print) const {
  if (!IsValidBand(range_.Band)) return;
  for (int k = 0; k < REF_MAX; ++k) {
    const TCalcData* set = range_.PlotRef[k];
    if (!set || set->Valid != 1) continue;
    const TColorRef color = kind == TCurveKind::Resistance ? setting_.PenColor_R_Ref[k]
                                                           : setting_.PenColor_Theta_Ref[k];
    painter.setPen(
        GraphPen(ColorFromRef(color), print ? kReferencePrintWidth : kReferenceScreenWidth));
    DrawCurve(painter, scale, *set, BandFirstIndex(range_.Band), BandLastIndex(range_.Band), kind,
              setting_.flog != 0);
  }
}

}  // namespace doz
