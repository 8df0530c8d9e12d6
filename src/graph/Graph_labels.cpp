#include "Graph_labels.h"

#include <QLabel>
#include <string>
#include <vector>

namespace doz {
namespace {

// Sets the text and sizes the label to it; null for an empty slot.
QLabel* SetText(QLabel* label, const std::string& text) {
  if (!label) return nullptr;
  label->setText(QString::fromStdString(text));
  label->adjustSize();
  return label;
}

void ShowAt(QLabel* label, int left, int top) {
  label->move(left, top);
  label->show();
}

void Hide(QLabel* label) {
  if (SetText(label, "")) label->hide();
}

// Places the tick labels of `values` in slots first.., hides the rest up
// to `count`; `place` gives (left, top) for a value and the sized label.
template <class TPlace>
void PlaceTicks(const TLabelTable& labels, int first, int count, const std::vector<double>& values,
                std::string (*text)(double), TPlace place) {
  for (int k = 0; k < count; ++k) {
    QLabel* label = labels[first + k];
    if (k >= static_cast<int>(values.size())) {
      Hide(label);
    } else if (SetText(label, text(values[k]))) {
      const auto [left, top] = place(values[k], label->width(), label->height());
      ShowAt(label, left, top);
    }
  }
}

struct TPos {
  int left;
  int top;
};

// Top of the tick label in row i of an axis divided in ten.
int RowTop(const TLabelFrame& f, const TPlotScale& s, int i, int h) {
  return f.Tp + (s.H * i) / 10 - h / 2 + 2;
}

// Row i of ten on the printed plot, centred on the text height.
int PrintRowY(const TPrintGeometry& g, int i) {
  return g.Top + g.Height * i / 10 - g.TextHeight / 2;
}

void PrintResistanceUnit(const TLabelTable& labels, const TPrintGeometry& g, std::array<int, 12>& x,
                         std::array<int, 12>& y) {
  if (!labels[RESISTANCE_UNIT_SLOT]) return;
  x[11] = g.Left;
  y[11] = TruncToPixel(g.Top - g.TextHeight - 5.0 * g.Scale);
}

}  // namespace

void PlaceFreqLabels(const TLabelTable& labels, const TLabelFrame& frame, const TPlotScale& scale) {
  std::vector<double> values;
  if (scale.FreqValid()) values = FreqLabelValues(scale.Freq.Lo, scale.Freq.Hi, FREQ_TICK_SLOTS);
  PlaceTicks(labels, FREQ_SLOT, FREQ_TICK_SLOTS, values, FreqLabelText, [&](double t, int w, int) {
    return TPos{frame.Lp + scale.X(t) - w / 2 + 2, frame.Tp + frame.Hp + 5};
  });
  if (QLabel* unit = SetText(labels[FREQ_UNIT_SLOT], "[Hz]"))
    ShowAt(unit, frame.Lp + frame.Wp - unit->width() / 2, frame.Tp + frame.Hp + unit->height() + 5);
}

void PlaceLinearResistanceLabels(const TLabelTable& labels, const TLabelFrame& frame,
                                 const TPlotScale& scale) {
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    QLabel* label =
        SetText(labels[RESISTANCE_SLOT + i], LinearResistanceLabelText(scale.FullScale, i));
    if (label)
      ShowAt(label, frame.Lp - label->width() - 5, RowTop(frame, scale, i, label->height()));
  }
  if (QLabel* unit = SetText(labels[RESISTANCE_UNIT_SLOT], "[Ω]"))
    ShowAt(unit, frame.Lp, frame.Tp - unit->height() - 2);
}

void PlaceLogResistanceLabels(const TLabelTable& labels, const TLabelFrame& frame,
                              const TPlotScale& scale) {
  if (!scale.LogValid()) return;
  const std::vector<double> values =
      LogResistanceLabelValues(scale.Resistance.Lo, scale.Resistance.Hi, AXIS_TICK_SLOTS);
  PlaceTicks(labels, RESISTANCE_SLOT, AXIS_TICK_SLOTS, values, LogResistanceLabelText,
             [&](double t, int w, int h) {
               const int p = scale.Resistance.Offset(t);
               return TPos{frame.Lp - w - 2, frame.Tp + scale.H - p - h / 2 + 2};
             });
  if (QLabel* unit = SetText(labels[RESISTANCE_UNIT_SLOT], "[Ω]"))
    ShowAt(unit, frame.Lp, frame.Tp - unit->height() - 1);
}

void PlacePhaseLabels(const TLabelTable& labels, const TLabelFrame& frame,
                      const TPlotScale& scale) {
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    const std::string text = FormatPhaseLabel(PhaseLabelValue(scale.PhaseHalf, i));
    if (QLabel* label = SetText(labels[PHASE_SLOT + i], text))
      ShowAt(label, frame.Lp + frame.Wp + 5, RowTop(frame, scale, i, label->height()));
  }
  if (QLabel* unit = SetText(labels[PHASE_UNIT_SLOT], "[deg]"))
    ShowAt(unit, frame.Lp + frame.Wp - unit->width() - 5, frame.Tp - unit->height() - 2);
}

void HidePhaseLabels(const TLabelTable& labels) {
  for (int slot = PHASE_SLOT; slot <= PHASE_UNIT_SLOT; ++slot)
    if (labels[slot]) labels[slot]->hide();
}

void FreqPrintPositions(const TLabelTable& labels, const TPlotScale& scale, const TPrintGeometry& g,
                        std::array<int, 11>& x, std::array<int, 11>& y) {
  const double s = g.Scale;
  if (scale.FreqValid()) {
    const std::vector<double> values =
        FreqLabelValues(scale.Freq.Lo, scale.Freq.Hi, FREQ_TICK_SLOTS);
    for (int k = 0; k < static_cast<int>(values.size()); ++k) {
      if (!labels[FREQ_SLOT + k]) continue;
      const int p = scale.X(values[k]);
      x[k] = TruncToPixel(g.Left + p - 0.5 * s * labels[FREQ_SLOT + k]->width());
      y[k] = TruncToPixel(g.Bottom + 5.0 * s);
    }
  }
  if (!labels[FREQ_UNIT_SLOT]) return;
  x[10] = TruncToPixel(g.Width + g.Left - 0.5 * s * labels[FREQ_UNIT_SLOT]->width());
  y[10] = TruncToPixel(g.TextHeight + g.Bottom + 10.0 * s);
}

void LinearResistancePrintPositions(const TLabelTable& labels, const TPrintGeometry& g,
                                    std::array<int, 12>& x, std::array<int, 12>& y) {
  const double s = g.Scale;
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    if (!labels[RESISTANCE_SLOT + i]) continue;
    x[i] = TruncToPixel(g.Left - s * labels[RESISTANCE_SLOT + i]->width() - 10.0 * s);
    y[i] = PrintRowY(g, i);
  }
  PrintResistanceUnit(labels, g, x, y);
}

void LogResistancePrintPositions(const TLabelTable& labels, const TPlotScale& scale,
                                 const TPrintGeometry& g, std::array<int, 12>& x,
                                 std::array<int, 12>& y) {
  if (!scale.LogValid()) return;
  const double s = g.Scale;
  const std::vector<double> values =
      LogResistanceLabelValues(scale.Resistance.Lo, scale.Resistance.Hi, AXIS_TICK_SLOTS);
  for (int k = 0; k < static_cast<int>(values.size()); ++k) {
    if (!labels[RESISTANCE_SLOT + k]) continue;
    const int p = scale.Resistance.Offset(values[k]);
    x[k] = TruncToPixel(g.Left - s * labels[RESISTANCE_SLOT + k]->width() - 5.0 * s);
    y[k] = TruncToPixel(g.Top + g.Height - p - g.TextHeight / 2 - 3.0 * s);
  }
  PrintResistanceUnit(labels, g, x, y);
}

void PhasePrintPositions(const TLabelTable& labels, const TPrintGeometry& g, std::array<int, 12>& x,
                         std::array<int, 12>& y) {
  const double s = g.Scale;
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    if (!labels[PHASE_SLOT + i]) continue;
    x[i] = TruncToPixel(g.Right + 10.0 * s);
    y[i] = PrintRowY(g, i);
  }
  const QLabel* unit = labels[PHASE_UNIT_SLOT];
  if (!unit) return;
  x[11] = TruncToPixel(g.Right - s * unit->width() - 5.0 * s);
  y[11] = TruncToPixel(g.Top - s * unit->height() - 2.0 * s);
}

}  // namespace doz
