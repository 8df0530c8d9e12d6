#include "Analysis_overlay.h"

#include <QPainter>

#include "Color_ref.h"
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

void DrawModel(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
               const TSettingData& setting, const TCalcData& curve) {
  const int first = BandFirstIndex(range.Band);
  const int last = BandLastIndex(range.Band);
  const bool logAxis = setting.flog != 0;
  painter.setPen(DashedPen(ColorFromRef(setting.PenColor_R), ModelWidth(setting)));
  DrawCurve(painter, scale, curve, first, last, TCurveKind::Resistance, logAxis);
  if (setting.fronly) return;
  painter.setPen(DashedPen(ColorFromRef(setting.PenColor_Theta), ModelWidth(setting)));
  DrawCurve(painter, scale, curve, first, last, TCurveKind::Phase, logAxis);
}

void DrawMarks(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
               const TSettingData& setting, const std::vector<int>& marked) {
  if (!range.PlotMeas) return;
  const bool logAxis = setting.flog != 0;
  DrawPointMarks(painter, scale, *range.PlotMeas, marked, TCurveKind::Resistance, logAxis,
                 kMarkColor, kMarkSize);
  if (setting.fronly) return;
  DrawPointMarks(painter, scale, *range.PlotMeas, marked, TCurveKind::Phase, logAxis, kMarkColor,
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
