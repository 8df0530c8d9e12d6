// Tick and unit labels of the three axes: their texts, visibility and
// places next to the paint box on screen, and their places on the printed
// page.
#pragma once

#include <array>

#include "Graph_scale.h"

class QLabel;

namespace doz {

constexpr int LABEL_COUNT = 35;
using TLabelTable = std::array<QLabel*, LABEL_COUNT>;

// Slots of the label table: tick labels top to bottom (left to right for
// the frequency axis), then the axis' unit label.
constexpr int RESISTANCE_SLOT = 0;
constexpr int RESISTANCE_UNIT_SLOT = 11;
constexpr int PHASE_SLOT = 12;
constexpr int PHASE_UNIT_SLOT = 23;
constexpr int FREQ_SLOT = 24;
constexpr int FREQ_UNIT_SLOT = 34;
constexpr int FREQ_TICK_SLOTS = 10;
constexpr int AXIS_TICK_SLOTS = 11;

// The paint box in the labels' coordinates: left, top, width, height.
struct TLabelFrame {
  int Lp = 0;
  int Tp = 0;
  int Wp = 0;
  int Hp = 0;
};

// The plot on the printed page, in printer pixels: its edges and size, the
// printer-to-screen scale and the label text height.
struct TPrintGeometry {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width = 0;
  int Height = 0;
  float Scale = 1.0f;
  int TextHeight = 0;
};

// Screen placement; null slots are skipped. Tick slots that a rule leaves
// unused get an empty text and are hidden.
void PlaceFreqLabels(const TLabelTable& labels, const TLabelFrame& frame, const TPlotScale& scale);
void PlaceLinearResistanceLabels(const TLabelTable& labels, const TLabelFrame& frame,
                                 const TPlotScale& scale);
// Leaves every resistance label as it is when the axis has no span.
void PlaceLogResistanceLabels(const TLabelTable& labels, const TLabelFrame& frame,
                              const TPlotScale& scale);
void PlacePhaseLabels(const TLabelTable& labels, const TLabelFrame& frame, const TPlotScale& scale);
void HidePhaseLabels(const TLabelTable& labels);

// Printer places from the labels' current sizes; entries a rule does not
// fill keep the caller's value. The scale is that of the printed plot.
void FreqPrintPositions(const TLabelTable& labels, const TPlotScale& scale, const TPrintGeometry& g,
                        std::array<int, 11>& x, std::array<int, 11>& y);
void LinearResistancePrintPositions(const TLabelTable& labels, const TPrintGeometry& g,
                                    std::array<int, 12>& x, std::array<int, 12>& y);
void LogResistancePrintPositions(const TLabelTable& labels, const TPlotScale& scale,
                                 const TPrintGeometry& g, std::array<int, 12>& x,
                                 std::array<int, 12>& y);
void PhasePrintPositions(const TLabelTable& labels, const TPrintGeometry& g, std::array<int, 12>& x,
                         std::array<int, 12>& y);

}  // namespace doz
