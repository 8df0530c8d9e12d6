// What the main window holds when it prints, without showing a window: the
// paint box at the default window's size, the 35 axis labels in the
// window's font, the graph range scaled from the data as the window scales
// it, and the renderer.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "Cli_measurement.h"
#include "Doz_setting.h"
#include "Graph_labels.h"

class QPaintDevice;

namespace doz {
class TGraph_RTF;
}

namespace doz::cli {

class TCliPlotWindow {
 public:
  // The setting, the measurement and the references (at most REF_MAX) are
  // held by reference; the graph shows the measurement's band.
  TCliPlotWindow(const TSettingData& setting, const TCliMeasurement& measurement,
                 const std::vector<const TCliMeasurement*>& references);
  ~TCliPlotWindow();
  TCliPlotWindow(const TCliPlotWindow&) = delete;
  TCliPlotWindow& operator=(const TCliPlotWindow&) = delete;

  // The page the print command would print, composed onto `page`.
  bool PrintTo(QPaintDevice& page);

  const TGraphRange& Range() const { return range_; }
  const TLabelTable& Labels() const { return labels_; }

 private:
  // The window's curve-set choice and its rescale from the unsmoothed sets.
  void SelectAndScale();

  const TSettingData& setting_;
  const TCliMeasurement& measurement_;
  std::vector<const TCliMeasurement*> references_;
  QWidget owner_;
  TLabelTable labels_{};
  TGraphRange range_;
  std::unique_ptr<TGraph_RTF> graph_;
};

}  // namespace doz::cli
