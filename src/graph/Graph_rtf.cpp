#include "Graph_rtf.h"

#include <QLabel>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "Label_measure.h"

namespace doz {
namespace {

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
  // The layout starts from what the controls show; labels follow their
  // texts in size.
  for (int slot = 0; slot < LABEL_COUNT; ++slot) {
    QLabel* label = labels_[slot];
    if (!label) continue;
    label->adjustSize();
    layout_[slot] = {label->text().toStdString(), label->x(), label->y(),
                     {label->width(), label->height()}, !label->isHidden()};
  }
  Resize();
}

TGraph_RTF::~TGraph_RTF() {
  if (paintBox_ && paintBox_->Image() == &image_) paintBox_->ShowImage(nullptr);
}

int TGraph_RTF::FreqAxisLow(double f) { return doz::FreqAxisLow(f); }
int TGraph_RTF::FreqAxisHigh(double f) { return doz::FreqAxisHigh(f); }

// The bitmap keeps the graph's arithmetic in screen pixels; only its pixels
// follow the screen's ratio, so a HiDPI screen gets sharp lines and labels.
void TGraph_RTF::Resize() {
  if (!paintBox_) return;
  boxWidth_ = paintBox_->width();
  boxHeight_ = paintBox_->height();
  width_ = std::max(boxWidth_ - 2, 0);
  height_ = std::max(boxHeight_ - 2, 0);
  const qreal ratio = paintBox_->devicePixelRatioF();
  const QSize pixels(qRound(width_ * ratio), qRound(height_ * ratio));
  if (image_.size() == pixels && image_.devicePixelRatio() == ratio) return;
  image_ = QImage(pixels, QImage::Format_RGB32);
  image_.setDevicePixelRatio(ratio);
  image_.fill(Qt::white);
}

void TGraph_RTF::Present() {
  if (paintBox_) paintBox_->ShowImage(&image_);
}

void TGraph_RTF::Clear() {
  // The window may have moved to a screen of another ratio.
  if (paintBox_ && paintBox_->devicePixelRatioF() != image_.devicePixelRatio()) Resize();
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
  LayoutLabels(layout_, Frame(), Scale(), {setting_.flog != 0, setting_.fronly != 0},
               [this](int slot, const std::string& text) {
                 return labels_[slot] ? LabelSizeOf(*labels_[slot], text)
                                      : TextSizeIn(owner_.font(), text);
               });
  ApplyLabels(layout_, labels_);
}

void TGraph_RTF::DrawMeasurement() {
  DrawPass(true, [this](QPainter& painter, const TPlotScale& scale) {
    DrawMeasuredBand(painter, scale, range_, setting_, TCurveKind::Resistance, false);
    if (!setting_.fronly) DrawMeasuredBand(painter, scale, range_, setting_, TCurveKind::Phase, false);
  });
}

void TGraph_RTF::DrawMeasurementUpTo(int n) {
  if (!IsValidBand(range_.Band)) return;
  const int first = BandFirstIndex(range_.Band);
  const int to = first + std::clamp(n, 0, BandLastIndex(range_.Band) - first);
  DrawPass(true, [this, first, to](QPainter& painter, const TPlotScale& scale) {
    DrawMeasuredCurve(painter, scale, range_, setting_, TCurveKind::Resistance, first, to, false);
    if (!setting_.fronly)
      DrawMeasuredCurve(painter, scale, range_, setting_, TCurveKind::Phase, first, to, false);
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
    DrawMeasuredCurve(painter, scale, range_, setting_, TCurveKind::Resistance, k - 1, k, false);
    if (!setting_.fronly)
      DrawMeasuredCurve(painter, scale, range_, setting_, TCurveKind::Phase, k - 1, k, false);
  }
  // Only the pixels the segment can touch reach the screen again: a sweep
  // sends a few small boxes a point, not the graph's height.
  QRegion changed = MeasuredSegmentBounds(scale, range_, setting_, TCurveKind::Resistance, k);
  if (!setting_.fronly) changed += MeasuredSegmentBounds(scale, range_, setting_, TCurveKind::Phase, k);
  if (paintBox_ && !changed.isEmpty()) paintBox_->ShowImage(&image_, changed);
}

void TGraph_RTF::DrawReferences() {
  DrawPass(true, [this](QPainter& painter, const TPlotScale& scale) {
    DrawReferenceCurves(painter, scale, range_, setting_, TCurveKind::Resistance, false);
    if (!setting_.fronly)
      DrawReferenceCurves(painter, scale, range_, setting_, TCurveKind::Phase, false);
  });
}

void TGraph_RTF::DrawAll() {
  DrawPass(true, [this](QPainter& painter, const TPlotScale& scale) {
    DrawMeasuredBand(painter, scale, range_, setting_, TCurveKind::Resistance, false);
    DrawReferenceCurves(painter, scale, range_, setting_, TCurveKind::Resistance, false);
    if (setting_.fronly) return;
    DrawMeasuredBand(painter, scale, range_, setting_, TCurveKind::Phase, false);
    DrawReferenceCurves(painter, scale, range_, setting_, TCurveKind::Phase, false);
  });
}

void TGraph_RTF::RenderForPrint(QImage& target, bool rOnly, bool withRefs) const {
  RenderPlot(target, range_, setting_, rOnly, withRefs);
}

void TGraph_RTF::FreqLabelPositions(const TPrintGeometry& g, std::array<int, 11>& x,
                                    std::array<int, 11>& y) const {
  FreqPrintPositions(layout_, MakePlotScale(range_, g.Width, g.Height), g, x, y);
}

void TGraph_RTF::ResistanceLabelPositions(const TPrintGeometry& g, std::array<int, 12>& x,
                                          std::array<int, 12>& y) const {
  if (setting_.flog)
    LogResistancePrintPositions(layout_, MakePlotScale(range_, g.Width, g.Height), g, x, y);
  else
    LinearResistancePrintPositions(layout_, g, x, y);
}

void TGraph_RTF::PhaseLabelPositions(const TPrintGeometry& g, std::array<int, 12>& x,
                                     std::array<int, 12>& y) const {
  if (!setting_.fronly) PhasePrintPositions(layout_, g, x, y);
}

TPlotScale TGraph_RTF::Scale() const {
  return MakePlotScale(range_, width_, height_);
}

TLabelFrame TGraph_RTF::Frame() const {
  // The paint box may sit inside another child of the owner.
  const QPoint origin =
      owner_.isAncestorOf(paintBox_) ? paintBox_->mapTo(&owner_, QPoint(0, 0)) : paintBox_->pos();
  return TLabelFrame{origin.x(), origin.y(), boxWidth_, boxHeight_};
}

}  // namespace doz
