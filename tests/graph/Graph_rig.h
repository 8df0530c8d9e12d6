// A renderer on a plain owner widget with its paint box, 35 labels and the
// data sets the range points at, as the main window would set them up.
#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>
#include <array>
#include <memory>

#include "Color_ref.h"
#include "Graph_rtf.h"

namespace doz::test {

// A paint box on a screen of the given pixel ratio, as a HiDPI screen or
// QT_SCALE_FACTOR makes it.
class TRatioBox : public TPaintBox {
 public:
  TRatioBox(qreal ratio, QWidget* parent) : TPaintBox(parent), ratio_(ratio) {}

 protected:
  int metric(PaintDeviceMetric m) const override {
    if (m == PdmDevicePixelRatio) return int(ratio_);
    if (m == PdmDevicePixelRatioScaled) return int(ratio_ * devicePixelRatioFScale());
    return TPaintBox::metric(m);
  }

 private:
  qreal ratio_;
};

struct TGraphRig {
  QWidget owner;
  TPaintBox* box = nullptr;
  std::array<QLabel*, 35> labels{};
  TSettingData setting;
  TGraphRange range;
  TCalcData meas;
  std::array<TCalcData, REF_MAX> refs;
  std::unique_ptr<TGraph_RTF> graph;

  explicit TGraphRig(int band = 1, int boxWidth = 500, int boxHeight = 312, qreal ratio = 1.0) {
    owner.resize(boxWidth + 140, boxHeight + 120);
    box = ratio == 1.0 ? new TPaintBox(&owner) : new TRatioBox(ratio, &owner);
    box->setGeometry(64, 24, boxWidth, boxHeight);
    for (QLabel*& label : labels) {
      label = new QLabel(&owner);
      label->hide();  // the window starts with every axis label hidden
    }
    ClearCalcData(meas);
    for (int k = 0; k < REF_MAX; ++k) {
      ClearCalcData(refs[k]);
      range.PlotRef[k] = &refs[k];
    }
    InitGraphRange(range, band);
    range.PlotMeas = &meas;
    graph = std::make_unique<TGraph_RTF>(owner, *box, setting, labels, range);
  }

  QColor Pixel(int x, int y) const { return graph->Bitmap().pixelColor(x, y); }
  int X(int slot) const {
    return FreqToX(meas.Freq[slot], FreqAxisLow(range.StartFreq), FreqAxisHigh(range.StopFreq),
                   graph->Bitmap().width());
  }
};

inline const QColor kWhite(255, 255, 255);
inline const QColor kGrey(0x80, 0x80, 0x80);
inline const QColor kSilver(0xC0, 0xC0, 0xC0);

// Rows of column x painted in `color`, counted over the whole image.
inline int RowsOf(const QImage& image, int x, const QColor& color) {
  int rows = 0;
  for (int y = 0; y < image.height(); ++y) rows += image.pixelColor(x, y) == color;
  return rows;
}

// Pixels of `color` outside row `row`.
inline int StrayPixels(const QImage& image, const QColor& color, int row) {
  int stray = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) stray += y != row && image.pixelColor(x, y) == color;
  return stray;
}

}  // namespace doz::test
