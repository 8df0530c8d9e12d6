// The inspection station: a window beside the main window that measures one
// part after another from the keyboard alone. A barcode scanner types the
// serial number and Enter; Enter starts the sweep through the main window's
// session (in the criteria's band); the finished measurement is saved in the
// batch folder, judged off the window's thread and shown as one large
// 合格 / 不合格 / 測定エラー with the reasons; its row goes to the results
// store through a thread of its own. Beside it: the last parts, the batch's
// counts, yield and statistics with a histogram of one value, and the rows
// waiting in the store's queue.
//
// Its code is split by role: construction and the criteria
// (Station_window.cpp), one part from the serial number to its row
// (Station_window_part.cpp), the batch's figures (Station_window_batch.cpp).
#pragma once

#include <QFutureWatcher>
#include <QWidget>
#include <deque>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "Criteria.h"
#include "Judgement.h"
#include "Part_record.h"
#include "Session_report.h"
#include "Station_store.h"
#include "Sweep_failure.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace doz {

class TFormMain;
class TStationHistogram;

class TFormStation : public QWidget {
  Q_OBJECT

 public:
  // Where a part stands.
  enum class TPhase {
    Idle,       // waiting for a serial number
    Checking,   // asking the store whether the serial number is known
    Measuring,  // the main window's sweep runs
    Judging,    // the fit runs off the window's thread
  };

  // A child window of `main`, deleted with it.
  explicit TFormStation(TFormMain& main);
  ~TFormStation() override;

  // Commands, as the keys and buttons run them.
  void LoadCriteriaClick();
  void OpenCriteriaClick();
  void SaveCriteriaClick();
  void SerialEntered();
  // Esc while a sweep of the station runs: the main window's stop.
  void StopClick();

  TPhase Phase() const { return phase_; }
  const std::optional<station::TCriteria>& Criteria() const { return criteria_; }
  // The store's location as given (the field shows it without a password).
  const std::string& StoreLocation() const { return storeLocation_; }
  std::string BatchFolder() const;

  // Controls (tests read and drive them as a user would).
  QLineEdit* CriteriaEdit = nullptr;
  QPushButton* OpenButton = nullptr;
  QPlainTextEdit* CriteriaText = nullptr;
  QPushButton* SaveButton = nullptr;
  QLabel* CriteriaStatus = nullptr;
  QLineEdit* FolderEdit = nullptr;
  QLineEdit* StoreEdit = nullptr;
  QLineEdit* StationEdit = nullptr;
  QLineEdit* SerialEdit = nullptr;
  QLabel* VerdictLabel = nullptr;
  QLabel* ReasonsLabel = nullptr;
  QLabel* PartStatus = nullptr;
  QTableWidget* PartsTable = nullptr;  // the newest first
  QLabel* CountsLabel = nullptr;
  QLabel* WaitingLabel = nullptr;
  QTableWidget* StatsTable = nullptr;
  QComboBox* HistogramBox = nullptr;
  TStationHistogram* Histogram = nullptr;

  static constexpr int kPartsShown = 10;

 signals:
  // A verdict is on the screen (tests and the benchmark wait for it).
  void VerdictShown(results::TVerdict verdict);
  // The store has answered for a part's row.
  void RowRecorded(station::TRowFate fate);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // One part on its way: who, what became of its file, how it was judged.
  struct TPart {
    station::TPartFacts Facts;
    station::TPartSave Save;
    bool Saved = false;
  };
  // A line of the last parts.
  struct TPartLine {
    QString Time;
    QString Serial;
    results::TVerdict Verdict;
    QString File;
    std::string RowId;
    std::optional<station::TRowFate> Fate;
  };

  QWidget* CreateCriteriaGroup();
  QWidget* CreateRecordGroup();
  QWidget* CreatePartGroup();
  QWidget* CreateBatchGroup();

  void ShowCriteriaError(const QString& text);
  void ApplyStore();
  void StoreEdited();
  std::string StationName() const;

  // The part (Station_window_part.cpp).
  void Ask(const std::string& serial, bool known);
  void StartSweep();
  void SessionStatus(TStatusText text);
  void SweepOver(TSweepEnding ending);
  void TakeMeasurement();
  void JudgeFinished();
  void FailPart();
  void ShowVerdict(results::TVerdict verdict, const QStringList& lines, bool reasonsFailed);
  void Record(const results::TResultRow& row, const QString& file);
  void Recorded(const std::string& rowId, const TStationView& view);
  void EndPart();
  void ShowPhase(const QString& text);

  // The batch (Station_window_batch.cpp).
  void ShowParts();
  void ShowBatch(const TStationView& view);
  void ShowHistogram();
  std::vector<results::TResultRow> BatchRows() const;

  TFormMain& main_;
  TStationStore store_;
  std::optional<station::TCriteria> criteria_;
  std::string storeLocation_;
  TPhase phase_ = TPhase::Idle;
  TPart part_;
  station::TSweepFailure failure_;
  std::optional<TSweepEnding> ending_;
  bool finishWanted_ = false;
  std::stop_source judgeStop_;
  QFutureWatcher<station::TJudgement> judgeWatcher_;
  std::deque<TPartLine> parts_;
  // Rows written from here (the store may not hold them yet) and the
  // store's rows of the criteria.
  std::vector<results::TResultRow> ownRows_;
  std::vector<results::TResultRow> storeRows_;
};

}  // namespace doz
