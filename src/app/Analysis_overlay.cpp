#include "Analysis_overlay.h"

#include <QPainter>

#include "Graph_draw.h"

namespace doz {
namespace {

// Wider than the measured curve it lies on, so that its dashes show even
// where the model fits.
int ModelWidth(const TSettingData& setting) {
  return MeasuredWidth(setting.fwide != 0, false) + 2;
}

const QColor kMarkColor(0xFF, 0x80, 0x00);
constexpr int kMarkSize = 5;

// The quantities the graph shows: resistance, and phase unless it is hidden.
std::vector<TCurveKind> ShownKinds(const TSettingData& setting) {
  if (setting.fronly) return {TCurveKind::Resistance};
  return {TCurveKind::Resistance, TCurveKind::Phase};
}

void DrawModel(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
               const TSettingData& setting, const TCalcData& curve) {
  for (const TCurveKind kind : ShownKinds(setting)) {
    painter.setPen(DashedPen(MeasuredColor(setting, kind), ModelWidth(setting)));
    DrawCurve(painter, scale, curve, BandFirstIndex(range.Band), BandLastIndex(range.Band), kind,
              setting.flog != 0);
  }
}

void DrawMarks(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
               const TSettingData& setting, const std::vector<int>& marked) {
  if (!range.PlotMeas) return;
  for (const TCurveKind kind : ShownKinds(setting))
    DrawPointMarks(painter, scale, *range.PlotMeas, marked, kind, setting.flog != 0, kMarkColor,
                   kMarkSize);
}

}  // namespace

TAnalysisOverlay::TAnalysisOverlay(TKeySource currentKey, std::function<void()> onStale)
    : currentKey_(std::move(currentKey)), onStale_(std::move(onStale)) {}

void TAnalysisOverlay::SetModel(std::uint64_t key, const TCalcData& curve) {
  model_ = TModel{key, curve};
}

void TAnalysisOverlay::SetMarks(std::uint64_t key, std::vector<int> marked) {
  if (marked.empty()) {
    marks_.reset();
  } else {
    marks_ = TMarks{key, std::move(marked)};
  }
}

void TAnalysisOverlay::Draw(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                            const TSettingData& setting) const {
  if (!model_ && !marks_) return;
  if (!IsValidBand(range.Band)) return;
  const std::optional<std::uint64_t> key = currentKey_();
  bool stale = false;
  if (model_) {
    if (key == model_->key) {
      DrawModel(painter, scale, range, setting, model_->curve);
    } else {
      stale = true;
    }
  }
  if (marks_) {
    if (key == marks_->key) {
      DrawMarks(painter, scale, range, setting, marks_->marked);
    } else {
      stale = true;
    }
  }
  if (stale && onStale_) onStale_();
}

}  // namespace doz
