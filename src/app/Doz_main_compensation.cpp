// Lead compensation: the open and short sweeps, the sets the window shows
// and writes (corrected copies while 補正を使う is on; the records and the
// decoded sets never change), and its note in the status bar.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <cstdio>
#include <filesystem>

#include "Doz_file.h"
#include "Doz_main.h"
#include "Graph_rtf.h"
#include "Point_text.h"
#include "Prompter.h"
#include "Qo_message.h"
#include "Qo_status.h"
#include "Status_bar.h"

namespace doz {

using analysis::TCompensationFault;

namespace {

const QString kCaption = QStringLiteral("Do-Z");

// A corrected copy of one set, or none when the compensation does not cover it.
bool Correct(const analysis::TLeadCompensation& leads, const TCalcData& calc, int band,
             TCalcData& shownCalc, TCalcData& shownAve, int& lost) {
  if (leads.Covers(calc, band) != TCompensationFault::None) return false;
  shownCalc = calc;
  shownAve = calc;
  lost += leads.Apply(shownCalc, shownAve, band);
  return true;
}

}  // namespace

const TCalcData& TFormMain::ShownCalc() const { return measCorrected_ ? measShownCalc_ : MeasCalc; }
const TCalcData& TFormMain::ShownAve() const { return measCorrected_ ? measShownAve_ : MeasAve; }
const TCalcData& TFormMain::ShownRefCalc(int slot) const {
  return refCorrected_[slot] ? refShownCalc_[slot] : RefCalc[slot];
}
const TCalcData& TFormMain::ShownRefAve(int slot) const {
  return refCorrected_[slot] ? refShownAve_[slot] : RefAve[slot];
}

std::string TFormMain::CompensationPath(bool open) const {
  return appDir_ + (open ? "/open.DTA" : "/short.DTA");
}

bool TFormMain::Compensating() const {
  return MenuAnalysis_Compensate && MenuAnalysis_Compensate->isChecked() && !Leads.Empty();
}

void TFormMain::mCompensateSets() {
  measCorrected_ = false;
  refCorrected_.fill(false);
  if (!Compensating()) return ShowCompensationNote(0, false);
  int lost = 0;
  bool uncovered = false;
  const int band = MeasData.Present == 1 ? MeasData.Band : GraphRange.Band;
  measCorrected_ = Correct(Leads, MeasCalc, band, measShownCalc_, measShownAve_, lost);
  uncovered = !measCorrected_;
  for (int k = 0; k < REF_MAX; ++k) {
    if (RefData[k].Present != 1) continue;
    refCorrected_[k] = Correct(Leads, RefCalc[k], RefData[k].Band, refShownCalc_[k], refShownAve_[k], lost);
    uncovered = uncovered || !refCorrected_[k];
  }
  ShowCompensationNote(lost, uncovered);
}

// During a sweep: the new point corrected into the shown sets, and the
// limits widened when the corrected point lies outside them.
void TFormMain::CorrectPoint(int slot, int n, bool& widened) {
  measShownCalc_.R[slot] = MeasCalc.R[slot];
  measShownCalc_.Theta[slot] = MeasCalc.Theta[slot];
  measShownCalc_.Freq[slot] = MeasCalc.Freq[slot];
  if (Leads.ApplyPoint(measShownCalc_, measShownAve_, slot) || n == 0) return;
  const double r = measShownCalc_.R[slot];
  if (r > GraphRange.MaxR) GraphRange.MaxR = r, widened = true;
  if (r < GraphRange.MinR) GraphRange.MinR = r, widened = true;
}

QString TFormMain::ReadoutOf(int slot) const {
  const TCalcData& shown = ShownCalc();
  if (!measCorrected_ || shown.R[slot] < 0)
    return QString::fromStdString(PointReadoutText(MeasData.Data[slot].data()));
  return QString::fromStdString(PointReadoutText(shown.Freq[slot], shown.R[slot], shown.Theta[slot]));
}

void TFormMain::ShowCompensationNote(int lost, bool uncovered) {
  if (!CompensationNote) return;
  QString text;
  if (Compensating()) {
    text = uncovered ? QStringLiteral("補正できません（補正データが測定の点を含みません）")
                     : QStringLiteral("補正あり");
    if (!uncovered && lost > 0) text += QStringLiteral("（値のない点 %1）").arg(lost);
  }
  CompensationNote->setText(text);
  CompensationNote->setVisible(!text.isEmpty());
  CompensationNote->adjustSize();
  PlaceCompensationNote();
}

void TFormMain::PlaceCompensationNote() {
  if (!CompensationNote) return;
  CompensationNote->move(StatusBar1->width() - CompensationNote->width() - 4,
                         (StatusBar1->height() - CompensationNote->height()) / 2);
}

bool TFormMain::LoadCompensation(QString& problem) {
  analysis::TLeadCompensation leads;
  for (const bool open : {true, false}) {
    const std::string path = CompensationPath(open);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) continue;
    TRawData raw;
    TCalcData calc, ave;
    ClearRawData(raw);
    std::string serial;
    std::int32_t port = 1;
    if (!DozFile->ReadDataFile(path, serial, port, &raw) || !MakeCalcData(&raw, &calc, &ave)) {
      problem = QString::fromStdString(path);
      return false;
    }
    if (open) {
      leads.SetOpen(calc);
    } else {
      leads.SetShort(calc);
    }
  }
  Leads = leads;
  return true;
}

void TFormMain::MenuAnalysis_CompensateClick() {
  if (!MenuAnalysis_Compensate->isChecked()) {
    QString problem;
    if (!LoadCompensation(problem)) {
      prompter_->MessageBox(QStringLiteral("補正データを読み込めませんでした:\n") + problem, kCaption,
                            TBoxStyle::Warning);
      return;
    }
    if (Leads.Empty()) {
      prompter_->MessageBox(
          QStringLiteral("補正データがありません。先に「オープン補正を測定」か「ショート補正を測定」を行ってください。"),
          kCaption, TBoxStyle::Warning);
      return;
    }
  }
  MenuAnalysis_Compensate->setChecked(!MenuAnalysis_Compensate->isChecked());
  RedrawCurrent();
  emit AnalysedDataChanged();
}

void TFormMain::MenuAnalysis_ClearCompensationClick() {
  if (!prompter_->ConfirmYesNo(
          this, QStringLiteral("オープン補正とショート補正のデータ（open.DTA, short.DTA）を消去します。よろしいですか？")))
    return;
  for (const bool open : {true, false}) std::remove(CompensationPath(open).c_str());
  Leads = {};
  MenuAnalysis_Compensate->setChecked(false);
  RedrawCurrent();
  emit AnalysedDataChanged();
}

void TFormMain::MenuAnalysis_OpenSweepClick() { StartCompensationSweep(TCompensationSweep::Open); }
void TFormMain::MenuAnalysis_ShortSweepClick() { StartCompensationSweep(TCompensationSweep::Short); }

// An ordinary sweep of band 1 (whose grid holds every band's points) with
// the leads as the dialog says.
void TFormMain::StartCompensationSweep(TCompensationSweep kind) {
  const bool open = kind == TCompensationSweep::Open;
  const QString what =
      open ? QStringLiteral("テストリードの先を開放してください（何もつながないでください）。")
           : QStringLiteral("テストリードの先どうしを短絡してください。");
  if (!prompter_->ConfirmYesNo(this, what + QStringLiteral("\n%1補正の測定（10Hz～100kHz）を始めますか？")
                                            .arg(open ? QStringLiteral("オープン")
                                                      : QStringLiteral("ショート"))))
    return;
  ComboBox2->setCurrentIndex(0);
  compensationSweep_ = kind;
  mStartMeasure();
  if (!Session.fReceiving()) compensationSweep_ = TCompensationSweep::None;
}

// A compensation sweep that came in whole replaces its file; any other
// ending leaves the file that was there.
void TFormMain::KeepCompensationSweep() {
  const bool open = compensationSweep_ == TCompensationSweep::Open;
  compensationSweep_ = TCompensationSweep::None;
  if (lastEnding_ != TSweepEnding::Complete || MeasData.Present != 1) return;
  const std::string path = CompensationPath(open);
  if (!DozFile->WriteDataFile(path, UnitSerial, &SettingRec, &MeasData)) {
    QoStatus->ShowSaveError();
    return;
  }
  DataSaved = 1;
  FileName = path;
  ShowCaption(FileName);
  if (open) {
    Leads.SetOpen(MeasCalc);
  } else {
    Leads.SetShort(MeasCalc);
  }
  prompter_->MessageBox(QStringLiteral("%1補正のデータを保存しました:\n")
                                .arg(open ? QStringLiteral("オープン") : QStringLiteral("ショート")) +
                            QString::fromStdString(path),
                        kCaption, TBoxStyle::Plain);
}

}  // namespace doz
