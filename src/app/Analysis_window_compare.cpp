// The analysis window's comparison with a loaded reference, with the points
// outside marked on the graph, and its exports in the exchange formats.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include "Analysis_texts.h"
#include "Analysis_window.h"
#include "Doz_main.h"
#include "Prompter.h"
#include "Set_comparator.h"
#include "Set_digest.h"
#include "Stringutil.h"

namespace doz {

using namespace analysis;

namespace {

const QString kReferenceNames[REF_MAX] = {QStringLiteral("データ１"), QStringLiteral("データ２"),
                                          QStringLiteral("データ３"), QStringLiteral("データ４"),
                                          QStringLiteral("データ５")};

QDoubleSpinBox* ToleranceBox(const QString& suffix, double maximum, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(0.0, maximum);
  box->setDecimals(1);
  box->setSingleStep(0.5);
  box->setValue(5.0);
  box->setSuffix(suffix);
  return box;
}

// Only the band's points: the comparison covers what the graph shows.
TCalcData WithinBand(const TCalcData& set, int band) {
  TCalcData within = set;
  for (int i = 0; i < DATA_MAX; ++i)
    if (i < BandFirstIndex(band) || i > BandLastIndex(band)) within.R[i] = -1.0;
  return within;
}

QString DeviationText(const QString& quantity, const QString& value, double hertz) {
  return quantity + QStringLiteral("の最大偏差 ") + value + QStringLiteral("（") +
         SiText(hertz, "Hz") + QStringLiteral("）");
}

struct TExportKind {
  TExchangeFormat format;
  const char* filter;
};

const TExportKind kExports[] = {{TExchangeFormat::Csv, "CSV ファイル (*.csv)"},
                                {TExchangeFormat::Zma, "ZMA ファイル (*.zma)"},
                                {TExchangeFormat::Touchstone, "Touchstone ファイル (*.s1p)"}};

}  // namespace

QGroupBox* TFormAnalysis::CreateCompareGroup() {
  auto* group = new QGroupBox(QStringLiteral("参照データとの比較"), this);
  auto* form = new QFormLayout(group);
  ReferenceBox = new QComboBox(group);
  ReferenceBox->addItem(QStringLiteral("比較しない"));
  for (const QString& name : kReferenceNames) ReferenceBox->addItem(name);
  PercentBox = ToleranceBox(QStringLiteral(" %"), 100.0, group);
  DegreesBox = ToleranceBox(QStringLiteral(" °"), 180.0, group);
  VerdictLabel = new QLabel(group);
  QFont verdictFont = VerdictLabel->font();
  verdictFont.setBold(true);
  verdictFont.setPixelSize(18);
  VerdictLabel->setFont(verdictFont);
  KeepLines(VerdictLabel, 1);
  DeviationLabel = new QLabel(group);
  DeviationLabel->setWordWrap(true);
  KeepLines(DeviationLabel, 3);
  form->addRow(QStringLiteral("参照"), ReferenceBox);
  form->addRow(QStringLiteral("|Z| の許容差"), PercentBox);
  form->addRow(QStringLiteral("位相の許容差"), DegreesBox);
  form->addRow(VerdictLabel);
  form->addRow(DeviationLabel);
  connect(ReferenceBox, &QComboBox::currentIndexChanged, this, [this] { Follow(); });
  connect(PercentBox, &QDoubleSpinBox::valueChanged, this, [this] { Follow(); });
  connect(DegreesBox, &QDoubleSpinBox::valueChanged, this, [this] { Follow(); });
  return group;
}

QGroupBox* TFormAnalysis::CreateExportGroup() {
  auto* group = new QGroupBox(QStringLiteral("書き出し"), this);
  auto* layout = new QVBoxLayout(group);
  auto* row = new QHBoxLayout;
  CsvButton = new QPushButton(QStringLiteral("CSV…"), group);
  ZmaButton = new QPushButton(QStringLiteral("ZMA…"), group);
  TouchstoneButton = new QPushButton(QStringLiteral("Touchstone…"), group);
  QPushButton* buttons[] = {CsvButton, ZmaButton, TouchstoneButton};
  for (std::size_t i = 0; i < std::size(kExports); ++i) {
    const TExchangeFormat format = kExports[i].format;
    connect(buttons[i], &QPushButton::clicked, this, [this, format] { ExportClick(format); });
    row->addWidget(buttons[i]);
  }
  ExportStatus = new QLabel(group);
  ExportStatus->setWordWrap(true);
  layout->addLayout(row);
  layout->addWidget(ExportStatus);
  return group;
}

void TFormAnalysis::FillReferenceChoices() {
  auto* model = static_cast<QStandardItemModel*>(ReferenceBox->model());
  for (int k = 0; k < REF_MAX; ++k) {
    const bool loaded = main_.RefData[k].Present == 1;
    QStandardItem* item = model->item(k + 1);
    const std::string name = loaded ? FileNamePart(main_.RefFileName[k]) : std::string();
    const QString text =
        name.empty() ? kReferenceNames[k]
                     : kReferenceNames[k] + QStringLiteral("　") + QString::fromStdString(name);
    if (item->isEnabled() != loaded) item->setEnabled(loaded);
    if (item->text() != text) item->setText(text);
  }
  // A reference that was cleared can no longer be compared with; the
  // caller compares anew.
  const int chosen = ReferenceBox->currentIndex();
  if (chosen > 0 && main_.RefData[chosen - 1].Present != 1) {
    const QSignalBlocker quiet(ReferenceBox);
    ReferenceBox->setCurrentIndex(0);
  }
}

const TCalcData& TFormAnalysis::ReferenceSet(int slot) const {
  if (const TCalcData* drawn = main_.GraphRange.PlotRef[slot]) return *drawn;
  return main_.MenuGraph_Ave->isChecked() ? main_.ShownRefAve(slot) : main_.ShownRefCalc(slot);
}

TFormAnalysis::TCompareInput TFormAnalysis::CompareInputNow() const {
  TCompareInput input;
  input.measurement = CurrentKey();
  input.slot = ReferenceBox->currentIndex() - 1;
  if (input.slot >= 0 && main_.RefData[input.slot].Present == 1) {
    input.reference = SetDigest(ReferenceSet(input.slot), Band());
  }
  input.percent = PercentBox->value();
  input.degrees = DegreesBox->value();
  return input;
}

void TFormAnalysis::ShowComparison() {
  compared_ = CompareInputNow();
  const TCompareInput& input = *compared_;
  if (input.slot < 0 || !input.reference || !input.measurement) {
    ClearComparison({});
    return;
  }
  const TCompareResult result =
      CompareSets(WithinBand(AnalysedSet(), Band()), ReferenceSet(input.slot),
                  TTolerance{input.percent, input.degrees});
  const auto* c = std::get_if<TComparison>(&result);
  if (!c) {
    ClearComparison(QStringLiteral("共通の周波数の点がありません"));
    return;
  }
  const bool pass = c->OutsideSlots.empty();
  VerdictLabel->setText(pass ? QStringLiteral("合格") : QStringLiteral("不合格"));
  VerdictLabel->setStyleSheet(pass ? QStringLiteral("color: #008000")
                                   : QStringLiteral("color: #C00000"));
  DeviationLabel->setText(
      QStringLiteral("比較した点 %1、許容差の外 %2\n")
          .arg(c->Compared)
          .arg(c->OutsideSlots.size()) +
      DeviationText(QStringLiteral("|Z| "), PercentText(c->WorstMagnitude.Value),
                    c->WorstMagnitude.Hertz) +
      QStringLiteral("\n") +
      DeviationText(QStringLiteral("位相"), DegreesText(c->WorstPhase.Value), c->WorstPhase.Hertz));
  const bool marked = overlay_->HasMarks();
  overlay_->SetMarks(*input.measurement, c->OutsideSlots);
  if (marked || overlay_->HasMarks()) RedrawGraph();
}

void TFormAnalysis::ClearComparison(const QString& note) {
  VerdictLabel->clear();
  DeviationLabel->setText(note);
  if (!overlay_->HasMarks()) return;
  overlay_->ClearMarks();
  RedrawGraph();
}

void TFormAnalysis::ExportClick(TExchangeFormat format) {
  Follow();
  if (!shownKey_) return;
  const TExportKind& kind =
      *std::find_if(std::begin(kExports), std::end(kExports),
                    [format](const TExportKind& k) { return k.format == format; });
  const std::string extension = ExchangeExtension(format);
  const QString chosen =
      main_.Prompter().SaveFile(this, {QStringLiteral("書き出すファイル"),
                                       QString::fromUtf8(kind.filter),
                                       QString::fromStdString(main_.DefaultName(extension.c_str())),
                                       {}});
  if (chosen.isEmpty()) return;
  // A name without an extension gets the format's.
  std::string path = chosen.toStdString();
  if (FileNamePart(path).find('.') == std::string::npos) path += extension;
  if (!main_.AskOverwrite(path, this)) return;
  const TExchangeSource source{FileNamePart(main_.FileName), main_.MeasData.DateTime};
  const bool written = WriteExchangeFile(path, format, SamplesOf(AnalysedSet(), Band()), source) ==
                       TWriteResult::Written;
  ExportStatus->setText(
      (written ? QStringLiteral("書き出しました: ") : QStringLiteral("書き出せませんでした: ")) +
      QString::fromStdString(path));
}

}  // namespace doz
