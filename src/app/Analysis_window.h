// The analysis window: a non-modal window beside the main window that shows,
// for the current measurement (the values the graph draws, smoothed or not),
// the quantities of the point last clicked in the graph, the resonances, an
// equivalent-circuit fit with its model drawn dashed over the graph, a
// comparison with a loaded reference, exports in the exchange formats, and
// beside them a graph of one derived quantity or the Nyquist plot.
//
// The window follows the main window's data by content: it keys everything
// it shows on a digest of the analysed values and checks that digest
// whenever the main window says its data may have changed (while the window
// is shown) and at every drawing of the graph, and so never shows results of
// values the main window no longer holds. Its code
// is split by role: construction and following (Analysis_window.cpp), the
// fit (Analysis_window_fit.cpp), the comparison and the export
// (Analysis_window_compare.cpp), the quantity graph
// (Analysis_window_graph.cpp).
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "Analysis_overlay.h"
#include "Exchange_writer.h"
#include "Fit_runner.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace doz {

class TFormMain;
class TQuantityGraphView;

class TFormAnalysis : public QWidget {
  Q_OBJECT

 public:
  // A child window of `main`, deleted with it; it draws over main's graph
  // from now on.
  explicit TFormAnalysis(TFormMain& main);

  // Brings everything shown up to the main window's data now.
  void Follow();
  // The graph was clicked on this slot of the current measurement.
  void PointClicked(int slot);

  // The digest of the current measurement's analysed values; none while no
  // measurement is held (also during a sweep).
  std::optional<std::uint64_t> CurrentKey() const;
  bool FitRunning() const { return fitRunner_.Running(); }

  // Commands, as the buttons run them.
  void FitClick();
  void ExportClick(analysis::TExchangeFormat format);
  // The quantity graph as shown, zoom included, on the page the main
  // window's print command composes, through the same two dialogs.
  void PrintGraphClick();

  // Controls (tests read and drive them as a user would).
  QLabel* MeasurementLabel = nullptr;
  QLabel* PointHeader = nullptr;
  QTableWidget* PointTable = nullptr;  // R, X, L, C as series and parallel values
  QTableWidget* ResonanceTable = nullptr;
  QLabel* ResonanceNote = nullptr;
  QComboBox* ModelBox = nullptr;  // item 0 automatic, then the presets, then the circuit string
  QLineEdit* CircuitEdit = nullptr;  // a circuit of one's own, checked as it is typed
  QLabel* CircuitCheck = nullptr;
  QPushButton* FitButton = nullptr;
  QLabel* FitStatus = nullptr;
  QTableWidget* ParameterTable = nullptr;  // values with their uncertainties
  QLabel* DerivedLabel = nullptr;          // a loudspeaker's fs, Qms, Qes and Qts
  QLabel* WarningLabel = nullptr;
  QCheckBox* DrawModelBox = nullptr;
  QComboBox* ReferenceBox = nullptr;  // item 0 none, then データ１..データ５
  QDoubleSpinBox* PercentBox = nullptr;
  QDoubleSpinBox* DegreesBox = nullptr;
  QLabel* VerdictLabel = nullptr;
  QLabel* DeviationLabel = nullptr;
  QPushButton* CsvButton = nullptr;
  QPushButton* ZmaButton = nullptr;
  QPushButton* TouchstoneButton = nullptr;
  QLabel* ExportStatus = nullptr;
  QComboBox* QuantityBox = nullptr;  // the quantities in kQuantities' order
  QPushButton* PrintButton = nullptr;
  TQuantityGraphView* QuantityView = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // What a comparison was made of; a new one is due when this changes.
  struct TCompareInput {
    std::optional<std::uint64_t> measurement;
    int slot = -1;
    std::optional<std::uint64_t> reference;
    double percent = 0.0;
    double degrees = 0.0;
    bool operator==(const TCompareInput&) const = default;
  };

  // A read-only table with these column heads and 20-pixel rows, tall
  // enough to show `visibleRows` of them.
  static QTableWidget* CreateTable(const QStringList& columns, int visibleRows, QWidget* parent);
  // A cell's text; values (every column but the first) right-aligned.
  static void SetCell(QTableWidget* table, int row, int column, const QString& text);
  // Room for this many lines whatever the label says, so that the controls
  // below stay where they are when its text changes.
  static void KeepLines(QLabel* label, int lines);
  QGroupBox* CreatePointGroup();
  QGroupBox* CreateResonanceGroup();
  QGroupBox* CreateFitGroup();
  QGroupBox* CreateCompareGroup();
  QGroupBox* CreateExportGroup();
  QWidget* CreateGraphPanel();

  // The values the analysis reads: the set the graph draws for the measurement.
  const TCalcData& AnalysedSet() const;
  int Band() const;
  void ShowMeasurement();
  // The clicked point, while the values it was clicked on are shown.
  std::optional<analysis::TImpedanceSample> ClickedSample() const;
  void ShowPoint();
  // From the fitted model when it fits well, from the measured points otherwise.
  void ShowResonances(const std::vector<analysis::TResonance>& resonances);
  // The graph again, so that the overlay shows what the window shows; not
  // while a sweep draws it.
  void RedrawGraph();
  // The quantity graph of what the window shows now: the measurement and the
  // references as the main graph draws them, the fitted model, the clicked
  // point.
  void ShowQuantityGraph();

  // The circuit chosen in ModelBox (none: the automatic choice); false, and
  // the reason in CircuitCheck, for a circuit string that does not parse.
  bool ChosenModel(std::optional<analysis::TCircuitModel>& model);
  void CircuitEdited();
  void StartFit();
  void ClearFit(const QString& status);
  void FitFinished(const TFitOutcome& outcome);
  void ShowParameters(const analysis::TAnalysisReport& report);
  void DrawModelToggled();

  void FillReferenceChoices();
  // Reference slot 0..4 as the graph draws it, smoothed or not.
  const TCalcData& ReferenceSet(int slot) const;
  TCompareInput CompareInputNow() const;
  void ShowComparison();
  void ClearComparison(const QString& note);

  TFormMain& main_;
  // Shared with the renderer, which draws it only while the window lives.
  std::shared_ptr<TAnalysisOverlay> overlay_;
  TFitRunner fitRunner_;
  std::optional<std::uint64_t> shownKey_;
  int clickedSlot_ = -1;
  std::optional<std::uint64_t> clickedKey_;
  bool fitWanted_ = false;  // the user asked for a fit: a new measurement gets one too
  std::optional<TFitOutcome> fit_;
  std::optional<TCompareInput> compared_;
};

}  // namespace doz
