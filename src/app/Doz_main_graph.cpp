// Graph options, the redraw procedures every change ends in, and the cursor
// read-out.
#include <QComboBox>
#include <cmath>

#include "Analysis_window.h"
#include "Curve_stats.h"
#include "Doz_main.h"
#include "Graph_rtf.h"
#include "Paint_box.h"
#include "Point_text.h"
#include "Qo_status.h"

namespace doz {

void TFormMain::mSelectCurveSets() {
  mCompensateSets();
  TRefSets calc{}, ave{};
  for (int k = 0; k < REF_MAX; ++k) calc[k] = &ShownRefCalc(k), ave[k] = &ShownRefAve(k);
  SelectCurveSets(GraphRange, MenuGraph_Ave->isChecked(), ShownCalc(), ShownAve(), calc, ave);
}

bool TFormMain::AnyReferenceLoaded() const {
  for (const TRawData& ref : RefData)
    if (ref.Present == 1) return true;
  return false;
}

TCurveStats TFormMain::ReferenceStats() const {
  std::array<const TCalcData*, REF_MAX> sets{};
  for (int k = 0; k < REF_MAX; ++k) sets[k] = RefData[k].Present == 1 ? &ShownRefCalc(k) : nullptr;
  return ReferenceCurveStats(sets, GraphRange.Band);
}

void TFormMain::mShowMeasured() {
  mSelectCurveSets();
  ApplyCurveLimits(GraphRange, MeasuredCurveStats(ShownCalc(), GraphRange.Band));
  Graph->Clear();
  Graph->DrawMeasurement();
  emit AnalysedDataChanged();
}

void TFormMain::mShowReferences() {
  mSelectCurveSets();
  ApplyCurveLimits(GraphRange, ReferenceStats());
  Graph->Clear();
  Graph->DrawReferences();
  emit AnalysedDataChanged();
}

void TFormMain::mShowAll() {
  mSelectCurveSets();
  ApplyCurveLimits(GraphRange, Combined(MeasuredCurveStats(ShownCalc(), GraphRange.Band),
                                        ReferenceStats()));
  Graph->Clear();
  Graph->DrawAll();
  emit AnalysedDataChanged();
}

void TFormMain::RedrawCurrent() {
  if (MeasData.Present) {
    AnyReferenceLoaded() ? mShowAll() : mShowMeasured();
  } else if (AnyReferenceLoaded()) {
    mShowReferences();
  }
}

void TFormMain::ToggleGraphOption(QAction* item, std::uint8_t& flag) {
  item->setChecked(!item->isChecked());
  flag = item->isChecked() ? 1 : 0;
  Graph->Clear();
  Graph->DrawScales();
  RedrawCurrent();
}

void TFormMain::MenuGraph_R_onlyClick() { ToggleGraphOption(MenuGraph_R_only, SettingRec.fronly); }
void TFormMain::MenuGraph_WideClick() { ToggleGraphOption(MenuGraph_Wide, SettingRec.fwide); }
void TFormMain::MenuGraph_AveClick() { ToggleGraphOption(MenuGraph_Ave, SettingRec.fave3); }
void TFormMain::MenuGraph_LogClick() { ToggleGraphOption(MenuGraph_Log, SettingRec.flog); }

void TFormMain::Menu_Set_aveMClick() { Menu_Set_aveM->setChecked(!Menu_Set_aveM->isChecked()); }

void TFormMain::ComboBox2Change() {
  const int band = ComboBox2->currentIndex() + 1;
  GraphRange.Band = band;
  MeasData.Band = band;
  if (MeasData.Present || AnyReferenceLoaded()) {
    RedrawCurrent();
    return;
  }
  InitGraphRange(GraphRange, band);
  Graph->Clear();
  Graph->DrawScales();
  emit AnalysedDataChanged();
}

void TFormMain::PaintBox1MouseDown(int x, int) {
  if (!MeasData.Present) return;
  const double lo = std::log10(TGraph_RTF::FreqAxisLow(GraphRange.StartFreq));
  const double hi = std::log10(TGraph_RTF::FreqAxisHigh(GraphRange.StopFreq));
  const double f = std::pow(10.0, x * (hi - lo) / PaintBox1->width() + lo);
  mPickPoint(PointIndexAt(ShownCalc(), GraphRange.Band, f));
}

void TFormMain::mPickPoint(int slot) {
  if (!MeasData.Present || slot < 0 || slot >= DATA_MAX || ShownCalc().R[slot] == -1.0) return;
  QoStatus->SetPanelText(ReadoutOf(slot), 2);
  mAnalysisWindow().PointClicked(slot);
}

QString TFormMain::mFormatFrequency(const char* record) const {
  return QString::fromStdString(FormatFrequencyText(record));
}

QString TFormMain::mFormatResistance(const char* record) const {
  return QString::fromStdString(FormatResistanceText(record));
}

QString TFormMain::mFormatPhase(const char* record) const {
  return QString::fromStdString(FormatPhaseText(record));
}

}  // namespace doz
