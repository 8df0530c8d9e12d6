#include "Cli_plot_window.h"

#include <QLabel>
#include <algorithm>

#include "App_font.h"
#include "Curve_stats.h"
#include "Doz_print.h"
#include "Graph_rtf.h"
#include "Paint_box.h"

namespace doz::cli {
namespace {

// The main window's paint box at the default window size.
constexpr int kBoxLeft = 64;
constexpr int kBoxTop = 24;
constexpr int kBoxWidth = 500;
constexpr int kBoxHeight = 312;
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 486;

}  // namespace

TCliPlotWindow::TCliPlotWindow(const TSettingData& setting, const TCliMeasurement& measurement,
                               const std::vector<const TCliMeasurement*>& references)
    : setting_(setting), measurement_(measurement), references_(references) {
  owner_.setFont(AppFont());
  owner_.resize(kWindowWidth, kWindowHeight);
  auto* box = new TPaintBox(&owner_);
  box->setGeometry(kBoxLeft, kBoxTop, kBoxWidth, kBoxHeight);
  for (QLabel*& label : labels_) {
    label = new QLabel(&owner_);
    label->hide();
  }
  InitGraphRange(range_, measurement_.raw.Band);
  graph_ = std::make_unique<TGraph_RTF>(owner_, *box, setting_, labels_, range_);
  SelectAndScale();
  graph_->DrawScales();
}

TCliPlotWindow::~TCliPlotWindow() = default;

void TCliPlotWindow::SelectAndScale() {
  const bool smoothed = setting_.fave3 != 0;
  range_.PlotMeas = smoothed ? &measurement_.ave : &measurement_.calc;
  TRefSets unsmoothed{};
  const std::size_t count = std::min<std::size_t>(references_.size(), REF_MAX);
  for (std::size_t k = 0; k < count; ++k) {
    range_.PlotRef[k] = smoothed ? &references_[k]->ave : &references_[k]->calc;
    unsmoothed[k] = &references_[k]->calc;
  }
  const TCurveStats measured = MeasuredCurveStats(measurement_.calc, range_.Band);
  ApplyCurveLimits(range_, count > 0
                               ? Combined(measured, ReferenceCurveStats(unsmoothed, range_.Band))
                               : measured);
}

bool TCliPlotWindow::PrintTo(QPaintDevice& page) {
  return TDoZ_Print(*graph_, page, setting_, labels_)
      .Print(setting_.fronly != 0, !references_.empty());
}

}  // namespace doz::cli
