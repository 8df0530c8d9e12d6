#include "Graph_labels.h"

#include <QLabel>
#include <vector>

namespace doz {
namespace {

// The layout being filled, with the size of each text it is given.
class TLayoutWriter {
 public:
  TLayoutWriter(TLabelLayout& layout, const TLabelMeasure& measure)
      : layout_(layout), measure_(measure) {}

  // Sets the slot's text and size; the size, for the caller's placing.
  TLabelSize SetText(int slot, const std::string& text) {
    layout_[slot].Text = text;
    layout_[slot].Size = measure_(slot, text);
    return layout_[slot].Size;
  }
  void ShowAt(int slot, int left, int top) {
    layout_[slot].Left = left;
    layout_[slot].Top = top;
    layout_[slot].Visible = true;
  }
  void Hide(int slot) {
    SetText(slot, "");
    layout_[slot].Visible = false;
  }
  void HideKeepingText(int slot) { layout_[slot].Visible = false; }

  // The tick labels of `values` in slots first.., the rest up to `count`
  // hidden; `place` gives (left, top) for a value and its label's size.
  template <class TPlace>
  void Ticks(int first, int count, const std::vector<double>& values, std::string (*text)(double),
             TPlace place) {
    for (int k = 0; k < count; ++k) {
      if (k >= static_cast<int>(values.size())) {
        Hide(first + k);
        continue;
      }
      const TLabelSize size = SetText(first + k, text(values[k]));
      const auto [left, top] = place(values[k], size);
      ShowAt(first + k, left, top);
    }
  }

 private:
  TLabelLayout& layout_;
  const TLabelMeasure& measure_;
};

struct TPos {
  int left;
  int top;
};

// Top of the tick label in row i of an axis divided in ten.
int RowTop(const TLabelFrame& f, const TPlotScale& s, int i, int h) {
  return f.Tp + (s.H * i) / 10 - h / 2 + 2;
}

void LayoutFreq(TLayoutWriter& out, const TLabelFrame& frame, const TPlotScale& scale) {
  std::vector<double> values;
  if (scale.FreqValid()) values = FreqLabelValues(scale.Freq.Lo, scale.Freq.Hi, FREQ_TICK_SLOTS);
  out.Ticks(FREQ_SLOT, FREQ_TICK_SLOTS, values, FreqLabelText, [&](double t, TLabelSize size) {
    return TPos{frame.Lp + scale.X(t) - size.Width / 2 + 2, frame.Tp + frame.Hp + 5};
  });
  const TLabelSize unit = out.SetText(FREQ_UNIT_SLOT, "[Hz]");
  out.ShowAt(FREQ_UNIT_SLOT, frame.Lp + frame.Wp - unit.Width / 2,
             frame.Tp + frame.Hp + unit.Height + 5);
}

void LayoutLinearResistance(TLayoutWriter& out, const TLabelFrame& frame,
                            const TPlotScale& scale) {
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    const TLabelSize size =
        out.SetText(RESISTANCE_SLOT + i, LinearResistanceLabelText(scale.FullScale, i));
    out.ShowAt(RESISTANCE_SLOT + i, frame.Lp - size.Width - 5, RowTop(frame, scale, i, size.Height));
  }
  const TLabelSize unit = out.SetText(RESISTANCE_UNIT_SLOT, "[Ω]");
  out.ShowAt(RESISTANCE_UNIT_SLOT, frame.Lp, frame.Tp - unit.Height - 2);
}

void LayoutLogResistance(TLayoutWriter& out, const TLabelFrame& frame, const TPlotScale& scale) {
  if (!scale.LogValid()) return;
  const std::vector<double> values =
      LogResistanceLabelValues(scale.Resistance.Lo, scale.Resistance.Hi, AXIS_TICK_SLOTS);
  out.Ticks(RESISTANCE_SLOT, AXIS_TICK_SLOTS, values, LogResistanceLabelText,
            [&](double t, TLabelSize size) {
              const int p = scale.Resistance.Offset(t);
              return TPos{frame.Lp - size.Width - 2, frame.Tp + scale.H - p - size.Height / 2 + 2};
            });
  const TLabelSize unit = out.SetText(RESISTANCE_UNIT_SLOT, "[Ω]");
  out.ShowAt(RESISTANCE_UNIT_SLOT, frame.Lp, frame.Tp - unit.Height - 1);
}

void LayoutPhase(TLayoutWriter& out, const TLabelFrame& frame, const TPlotScale& scale) {
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    const TLabelSize size =
        out.SetText(PHASE_SLOT + i, FormatPhaseLabel(PhaseLabelValue(scale.PhaseHalf, i)));
    out.ShowAt(PHASE_SLOT + i, frame.Lp + frame.Wp + 5, RowTop(frame, scale, i, size.Height));
  }
  const TLabelSize unit = out.SetText(PHASE_UNIT_SLOT, "[deg]");
  out.ShowAt(PHASE_UNIT_SLOT, frame.Lp + frame.Wp - unit.Width - 5, frame.Tp - unit.Height - 2);
}

// Row i of ten on the printed plot, centred on the text height.
int PrintRowY(const TPrintGeometry& g, int i) {
  return g.Top + g.Height * i / 10 - g.TextHeight / 2;
}

void PrintResistanceUnit(const TPrintGeometry& g, std::array<int, 12>& x, std::array<int, 12>& y) {
  x[11] = g.Left;
  y[11] = TruncToPixel(g.Top - g.TextHeight - 5.0 * g.Scale);
}

}  // namespace

void LayoutLabels(TLabelLayout& layout, const TLabelFrame& frame, const TPlotScale& scale,
                  const TLabelOptions& options, const TLabelMeasure& measure) {
  TLayoutWriter out(layout, measure);
  LayoutFreq(out, frame, scale);
  if (options.LogAxis)
    LayoutLogResistance(out, frame, scale);
  else
    LayoutLinearResistance(out, frame, scale);
  if (options.ResistanceOnly) {
    for (int slot = PHASE_SLOT; slot <= PHASE_UNIT_SLOT; ++slot) out.HideKeepingText(slot);
  } else {
    LayoutPhase(out, frame, scale);
  }
}

void ApplyLabels(const TLabelLayout& layout, const TLabelTable& labels) {
  for (int slot = 0; slot < LABEL_COUNT; ++slot) {
    QLabel* label = labels[slot];
    if (!label) continue;
    const TLabelSlot& value = layout[slot];
    label->setText(QString::fromStdString(value.Text));
    label->setGeometry(value.Left, value.Top, value.Size.Width, value.Size.Height);
    label->setVisible(value.Visible);
  }
}

void FreqPrintPositions(const TLabelLayout& labels, const TPlotScale& scale,
                        const TPrintGeometry& g, std::array<int, 11>& x, std::array<int, 11>& y) {
  const double s = g.Scale;
  if (scale.FreqValid()) {
    const std::vector<double> values =
        FreqLabelValues(scale.Freq.Lo, scale.Freq.Hi, FREQ_TICK_SLOTS);
    for (int k = 0; k < static_cast<int>(values.size()); ++k) {
      const int p = scale.X(values[k]);
      x[k] = TruncToPixel(g.Left + p - 0.5 * s * labels[FREQ_SLOT + k].Size.Width);
      y[k] = TruncToPixel(g.Bottom + 5.0 * s);
    }
  }
  x[10] = TruncToPixel(g.Width + g.Left - 0.5 * s * labels[FREQ_UNIT_SLOT].Size.Width);
  y[10] = TruncToPixel(g.TextHeight + g.Bottom + 10.0 * s);
}

void LinearResistancePrintPositions(const TLabelLayout& labels, const TPrintGeometry& g,
                                    std::array<int, 12>& x, std::array<int, 12>& y) {
  const double s = g.Scale;
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    x[i] = TruncToPixel(g.Left - s * labels[RESISTANCE_SLOT + i].Size.Width - 10.0 * s);
    y[i] = PrintRowY(g, i);
  }
  PrintResistanceUnit(g, x, y);
}

void LogResistancePrintPositions(const TLabelLayout& labels, const TPlotScale& scale,
                                 const TPrintGeometry& g, std::array<int, 12>& x,
                                 std::array<int, 12>& y) {
  if (!scale.LogValid()) return;
  const double s = g.Scale;
  const std::vector<double> values =
      LogResistanceLabelValues(scale.Resistance.Lo, scale.Resistance.Hi, AXIS_TICK_SLOTS);
  for (int k = 0; k < static_cast<int>(values.size()); ++k) {
    const int p = scale.Resistance.Offset(values[k]);
    x[k] = TruncToPixel(g.Left - s * labels[RESISTANCE_SLOT + k].Size.Width - 5.0 * s);
    y[k] = TruncToPixel(g.Top + g.Height - p - g.TextHeight / 2 - 3.0 * s);
  }
  PrintResistanceUnit(g, x, y);
}

void PhasePrintPositions(const TLabelLayout& labels, const TPrintGeometry& g,
                         std::array<int, 12>& x, std::array<int, 12>& y) {
  const double s = g.Scale;
  for (int i = 0; i < AXIS_TICK_SLOTS; ++i) {
    x[i] = TruncToPixel(g.Right + 10.0 * s);
    y[i] = PrintRowY(g, i);
  }
  const TLabelSize unit = labels[PHASE_UNIT_SLOT].Size;
  x[11] = TruncToPixel(g.Right - s * unit.Width - 5.0 * s);
  y[11] = TruncToPixel(g.Top - s * unit.Height - 2.0 * s);
}

}  // namespace doz
