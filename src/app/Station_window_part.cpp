// One part in the station window: the serial number, the question for one
// measured before, the sweep through the main window, the saved file, the
// judgement off the window's thread, the verdict, and the row.
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "Doz_main.h"
#include "Prompter.h"
#include "Result_row.h"
#include "Station_texts.h"
#include "Station_window.h"

namespace doz {

using namespace station;

namespace {

const char* VerdictStyle(results::TVerdict verdict) {
  switch (verdict) {
    case results::TVerdict::Pass:
      return "background: #00a040; color: white;";
    case results::TVerdict::Fail:
      return "background: #d02020; color: white;";
    case results::TVerdict::MeasurementError:
      break;
  }
  return "background: #e08000; color: white;";
}

}  // namespace

void TFormStation::ShowPhase(const QString& text) {
  VerdictLabel->setStyleSheet(QString());
  VerdictLabel->setText(text);
  ReasonsLabel->clear();
}

void TFormStation::SerialEntered() {
  if (phase_ != TPhase::Idle) return;
  const QString serial = SerialEdit->text().trimmed();
  if (!criteria_) return ShowPhase(QStringLiteral("検査条件がありません"));
  if (serial.isEmpty()) return ShowPhase(QStringLiteral("シリアル番号を入れてください"));
  if (!results::IsStorableText(serial.toStdString()))
    return ShowPhase(QStringLiteral("使えない文字があります"));
  phase_ = TPhase::Checking;
  ShowPhase(QStringLiteral("確認中…"));
  PartStatus->clear();
  const std::string text = serial.toStdString();
  const bool ours = std::any_of(ownRows_.begin(), ownRows_.end(),
                                [&](const results::TResultRow& row) { return row.Serial == text; });
  store_.Known(text, [this, text, ours](bool known) { Ask(text, known || ours); });
}

// Both rows are kept when the same part is measured again; the operator
// says whether that is meant.
void TFormStation::Ask(const std::string& serial, bool known) {
  const QString text = QString::fromStdString(serial);
  if (known &&
      !main_.Prompter().ConfirmYesNo(
          this, QStringLiteral("シリアル番号 %1 はすでに記録されています。もう一度測定しますか？")
                    .arg(text))) {
    phase_ = TPhase::Idle;
    ShowPhase(QString());
    SerialEdit->selectAll();
    return;
  }
  part_ = {};
  part_.Facts = {serial, StationName(), criteria_->Name, {}};
  StartSweep();
}

void TFormStation::StartSweep() {
  // A sweep the main window runs on its own (a compensation sweep) first.
  if (main_.Session.fReceiving() || main_.Session.fFinishPending()) {
    phase_ = TPhase::Idle;
    return ShowPhase(QStringLiteral("メインウィンドウで測定中です"));
  }
  failure_.Clear();
  ending_.reset();
  finishWanted_ = false;
  phase_ = TPhase::Measuring;
  ShowPhase(QStringLiteral("測定中…"));
  main_.ComboBox2->setCurrentIndex(criteria_->Band - 1);
  main_.mStartMeasure();
  if (main_.Session.fReceiving()) return;
  if (failure_.Any()) return FailPart();
  // The main window kept an unsaved measurement at the user's word.
  phase_ = TPhase::Idle;
  ShowPhase(QStringLiteral("測定を始めませんでした"));
}

void TFormStation::StopClick() {
  if (phase_ == TPhase::Measuring && main_.Session.fReceiving()) main_.MStartBtnClick();
}

void TFormStation::SessionStatus(TStatusText text) {
  if (phase_ != TPhase::Measuring) return;
  failure_.Status(text);
  if (text == TStatusText::CalcError) {
    QTimer::singleShot(0, this, [this] { FailPart(); });
  } else if (text == TStatusText::MeasureFinished && finishWanted_) {
    finishWanted_ = false;
    QTimer::singleShot(0, this, [this] { TakeMeasurement(); });
  }
}

// A sweep that ended in any other way than complete is an error, even when
// its points are finished as a measurement afterwards.
void TFormStation::SweepOver(TSweepEnding ending) {
  if (phase_ != TPhase::Measuring || ending_) return;
  ending_ = ending;
  failure_.Ended(ending);
  if (ending == TSweepEnding::Complete) {
    finishWanted_ = true;
  } else {
    QTimer::singleShot(0, this, [this] { FailPart(); });
  }
}

// The measurement the main window shows, saved at once (the main window then
// holds it as saved) and judged on the pool.
void TFormStation::TakeMeasurement() {
  if (phase_ != TPhase::Measuring) return;
  // The main window shows the values corrected for the leads: the golden,
  // measured through the same leads, is judged corrected too.
  const auto criteria = main_.Compensating() ? Compensated(*criteria_, main_.Leads) : criteria_;
  if (!criteria) {
    failure_.Note(QStringLiteral("補正データ（open.DTA, short.DTA）が基準データの点を含みません")
                      .toStdString());
    return FailPart();
  }
  part_.Facts.MeasuredAt = results::UtcNow();
  const int band = main_.MeasData.Band;
  part_.Save = SavePart(BatchFolder(), part_.Facts.Serial, part_.Facts.MeasuredAt, main_.UnitSerial,
                        main_.SettingRec.CommPortNum, main_.MeasData);
  part_.Saved = part_.Save.Fault == TSaveFault::None;
  if (part_.Saved) main_.mMeasurementSaved(part_.Save.Path);
  phase_ = TPhase::Judging;
  ShowPhase(QStringLiteral("判定中…"));
  judgeStop_ = std::stop_source();
  judgeWatcher_.setFuture(QtConcurrent::run(
      [criteria = *criteria, measured = main_.ShownCalc(), band, stop = judgeStop_.get_token()] {
        return Judge(criteria, measured, band, stop);
      }));
}

void TFormStation::JudgeFinished() {
  const TJudgement j = judgeWatcher_.result();
  if (j.Stopped || phase_ != TPhase::Judging) return;
  QStringList lines;
  for (const TFinding& f : j.Findings) {
    if (j.Verdict == results::TVerdict::Pass || !f.Pass)
      lines << (f.Pass ? QStringLiteral("○ ") : QStringLiteral("× ")) + JapaneseFinding(f);
  }
  ShowVerdict(j.Verdict, lines, j.Verdict != results::TVerdict::Pass);
  Record(JudgedRow(part_.Facts, j, part_.Save),
         part_.Saved ? QString::fromStdString(part_.Save.Name) : QString());
  PartStatus->setText(part_.Saved ? QStringLiteral("保存しました：") +
                                        QString::fromStdString(part_.Save.Path)
                                  : JapaneseSaveFault(part_.Save));
  EndPart();
}

void TFormStation::FailPart() {
  if (phase_ != TPhase::Measuring) return;
  part_.Facts.MeasuredAt = results::UtcNow();
  const std::string why = failure_.Text();
  ShowVerdict(results::TVerdict::MeasurementError, {QString::fromStdString(why)}, true);
  Record(FailedRow(part_.Facts, why), QString());
  PartStatus->clear();
  EndPart();
}

void TFormStation::ShowVerdict(results::TVerdict verdict, const QStringList& lines,
                               bool reasonsFailed) {
  VerdictLabel->setStyleSheet(QString::fromUtf8(VerdictStyle(verdict)));
  VerdictLabel->setText(VerdictText(verdict));
  ReasonsLabel->setStyleSheet(reasonsFailed ? QStringLiteral("color: #c00000;") : QString());
  ReasonsLabel->setText(lines.join(u'\n'));
  emit VerdictShown(verdict);
}

void TFormStation::Record(const results::TResultRow& row, const QString& file) {
  ownRows_.push_back(row);
  const QDateTime time = QDateTime::fromMSecsSinceEpoch(row.MeasuredAt.time_since_epoch().count());
  parts_.push_front({time.toString(QStringLiteral("HH:mm:ss")), QString::fromStdString(row.Serial),
                     row.Verdict, file, row.Id, std::nullopt});
  if (parts_.size() > std::size_t(kPartsShown)) parts_.pop_back();
  ShowParts();
  store_.Record(row, row.Criteria,
                [this, id = row.Id](const TStationView& view) { Recorded(id, view); });
}

void TFormStation::Recorded(const std::string& rowId, const TStationView& view) {
  for (TPartLine& line : parts_)
    if (line.RowId == rowId) line.Fate = view.Record.Fate;
  ShowParts();
  ShowBatch(view);
  emit RowRecorded(view.Record.Fate);
}

// Ready for the next scan: it replaces the serial number shown.
void TFormStation::EndPart() {
  phase_ = TPhase::Idle;
  SerialEdit->setFocus();
  SerialEdit->selectAll();
}

}  // namespace doz
