// What the analysis window draws over the graph: the fitted circuit's |Z|
// and phase as dashed curves in the measured curves' colours, and a mark on
// each measured point outside the comparison's tolerances. Each belongs to
// the values it was computed from and is drawn only while the graph's
// measurement holds exactly those values.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "Graph_overlay.h"

namespace doz {

class TAnalysisOverlay : public TGraphOverlay {
 public:
  using TKeySource = std::function<std::optional<std::uint64_t>()>;

  // currentKey: the digest of the measurement's analysed values now, none
  // without a measurement. onStale: told when a drawing finds content that
  // belongs to other values (it is then left out).
  TAnalysisOverlay(TKeySource currentKey, std::function<void()> onStale);

  void SetModel(std::uint64_t key, const TCalcData& curve);
  void ClearModel() { model_.reset(); }
  bool HasModel() const { return model_.has_value(); }
  // Slots of the measured points to mark; none clears the marks.
  void SetMarks(std::uint64_t key, std::vector<int> marked);
  void ClearMarks() { marks_.reset(); }
  bool HasMarks() const { return marks_.has_value(); }

  void Draw(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
            const TSettingData& setting) const override;

 private:
  struct TModel {
    std::uint64_t key;
    TCalcData curve;
  };
  struct TMarks {
    std::uint64_t key;
    std::vector<int> marked;
  };

  TKeySource currentKey_;
  std::function<void()> onStale_;
  std::optional<TModel> model_;
  std::optional<TMarks> marks_;
};

}  // namespace doz
