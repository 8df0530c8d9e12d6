// The measurement graph: resistance and phase against a logarithmic
// frequency axis, drawn into an off-screen image that the paint box shows,
// with the tick labels as label controls of the owner window.
#pragma once

#include <QImage>
#include <QPointer>
#include <array>
#include <memory>

#include "Doz_setting.h"
#include "Graph_draw.h"
#include "Graph_labels.h"
#include "Graph_overlay.h"
#include "Paint_box.h"

class QLabel;
class QPainter;
class QWidget;

namespace doz {

class TGraph_RTF {
 public:
  // Holds the references (the range's data sets and limits are read anew at
  // every drawing; the flags and colours of the settings too) and owns only
  // its image. Label positions are in the owner's coordinates.
  TGraph_RTF(QWidget& owner, TPaintBox& paintBox, const TSettingData& setting,
             const TLabelTable& labels, TGraphRange& range);
  ~TGraph_RTF();
  TGraph_RTF(const TGraph_RTF&) = delete;
  TGraph_RTF& operator=(const TGraph_RTF&) = delete;

  // Takes the paint box's size; the image becomes two pixels smaller, in
  // screen pixels, at the screen's pixel ratio.
  void Resize();
  // Hands the image to the paint box, which repaints once.
  void Present();
  // White image with the screen grid, presented; labels stay as they are.
  void Clear();
  // Texts, visibility and places of all labels; the image stays as it is.
  void DrawScales();

  void DrawMeasurement();
  // The first n segments of the measurement, whatever its valid flag: a
  // sweep in progress.
  void DrawMeasurementUpTo(int n);
  // Only the segment from point k - 1 to point k, then Present.
  void DrawMeasurementSegment(int k);
  void DrawReferences();
  void DrawAll();
  // Grid and curves with print widths into `target`, filled white first.
  void RenderForPrint(QImage& target, bool rOnly, bool withRefs) const;

  // Printer places of the labels' current texts (see TPrintGeometry).
  void FreqLabelPositions(const TPrintGeometry& g, std::array<int, 11>& x,
                          std::array<int, 11>& y) const;
  // Linear or logarithmic as the settings' flog says.
  void ResistanceLabelPositions(const TPrintGeometry& g, std::array<int, 12>& x,
                                std::array<int, 12>& y) const;
  // Nothing when resistance-only is on: the window shows no phase labels then.
  void PhaseLabelPositions(const TPrintGeometry& g, std::array<int, 12>& x,
                           std::array<int, 12>& y) const;

  // Drawn over the curves of every whole picture (not over a single new
  // segment, not on paper) for as long as its owner keeps it.
  void SetOverlay(std::weak_ptr<const TGraphOverlay> overlay) { overlay_ = std::move(overlay); }

  static int FreqAxisLow(double f);
  static int FreqAxisHigh(double f);

  const QImage& Bitmap() const { return image_; }
  // The labels as the last DrawScales laid them out.
  const TLabelLayout& Labels() const { return layout_; }
  const TGraphRange& Range() const { return range_; }

 private:
  TPlotScale Scale() const;
  TLabelFrame Frame() const;
  // Paints the curves `draw` gives into the image with the current scale,
  // after the labels, then the overlay, then presents.
  template <class TDraw>
  void DrawPass(bool withScales, TDraw draw);

  QWidget& owner_;
  QPointer<TPaintBox> paintBox_;
  const TSettingData& setting_;
  TLabelTable labels_;
  TLabelLayout layout_;
  TGraphRange& range_;
  QImage image_;
  int boxWidth_ = 0;
  int boxHeight_ = 0;
  int width_ = 0;  // the bitmap in screen pixels
  int height_ = 0;
  std::weak_ptr<const TGraphOverlay> overlay_;
};

}  // namespace doz
