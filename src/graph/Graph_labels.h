// Tick and unit labels of the three axes as values: their texts, sizes,
// places next to the paint box and visibility, laid out by one pure function
// from the scale, the options and the size each text takes; and their places
// on the printed page. The window copies the values onto its label controls;
// the printed page and doz-cli plot use them directly.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "Graph_scale.h"

class QLabel;

namespace doz {

constexpr int LABEL_COUNT = 35;
// The window's label controls, in the order of the slots below.
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

// Where the main window's form puts its paint box.
constexpr TLabelFrame kFormGraphFrame{64, 24, 500, 312};

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

struct TLabelSize {
  int Width = 0;
  int Height = 0;
};

// One label: its text, its place in the owner's coordinates, its size and
// whether it shows.
struct TLabelSlot {
  std::string Text;
  int Left = 0;
  int Top = 0;
  TLabelSize Size;
  bool Visible = false;
};
using TLabelLayout = std::array<TLabelSlot, LABEL_COUNT>;

// The size the label of a slot takes for a text.
using TLabelMeasure = std::function<TLabelSize(int slot, const std::string& text)>;

struct TLabelOptions {
  bool LogAxis = false;         // logarithmic resistance axis
  bool ResistanceOnly = false;  // the phase slots hidden
};

// Every label for the scale: frequency ticks and unit, resistance ticks and
// unit (linear or logarithmic), phase ticks and unit or, resistance only,
// the phase slots hidden with their texts kept. Tick slots a rule leaves
// unused get an empty text and are hidden; a logarithmic axis without span
// leaves the resistance slots as they were.
void LayoutLabels(TLabelLayout& layout, const TLabelFrame& frame, const TPlotScale& scale,
                  const TLabelOptions& options, const TLabelMeasure& measure);

// Copies the layout onto the label controls; null controls are skipped.
void ApplyLabels(const TLabelLayout& layout, const TLabelTable& labels);

// Printer places from the labels' sizes; entries a rule does not fill keep
// the caller's value. The scale is that of the printed plot.
void FreqPrintPositions(const TLabelLayout& labels, const TPlotScale& scale,
                        const TPrintGeometry& g, std::array<int, 11>& x, std::array<int, 11>& y);
void LinearResistancePrintPositions(const TLabelLayout& labels, const TPrintGeometry& g,
                                    std::array<int, 12>& x, std::array<int, 12>& y);
void LogResistancePrintPositions(const TLabelLayout& labels, const TPlotScale& scale,
                                 const TPrintGeometry& g, std::array<int, 12>& x,
                                 std::array<int, 12>& y);
void PhasePrintPositions(const TLabelLayout& labels, const TPrintGeometry& g,
                         std::array<int, 12>& x, std::array<int, 12>& y);

}  // namespace doz
