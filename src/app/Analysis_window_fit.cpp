// The analysis window's equivalent-circuit fit: the model choice (a preset,
// the automatic choice or a circuit string of one's own), the fit on the
// thread pool, the values with their uncertainties, the warnings and the
// model over the graph.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Analysis_texts.h"
#include "Analysis_window.h"
#include "Doz_main.h"
#include "Model_curve.h"

namespace doz {

using namespace analysis;

namespace {

// ModelBox: the automatic choice, the presets, then a circuit of one's own.
int CircuitStringItem() { return int(Presets().size()) + 1; }

QString NamesText(const TCircuitModel& model) {
  QStringList names;
  for (const std::string& name : model.Names()) names << QString::fromStdString(name);
  return names.join(QStringLiteral(", "));
}

}  // namespace

QGroupBox* TFormAnalysis::CreateFitGroup() {
  auto* group = new QGroupBox(QStringLiteral("等価回路"), this);
  auto* layout = new QVBoxLayout(group);
  auto* row = new QHBoxLayout;
  ModelBox = new QComboBox(group);
  ModelBox->addItem(QStringLiteral("自動（BIC で選択）"));
  for (const TPreset& preset : Presets()) ModelBox->addItem(PresetText(preset));
  ModelBox->addItem(QStringLiteral("回路式（下に入力）"));
  FitButton = new QPushButton(QStringLiteral("フィット"), group);
  connect(FitButton, &QPushButton::clicked, this, [this] { FitClick(); });
  row->addWidget(ModelBox, 1);
  row->addWidget(FitButton);
  CircuitEdit = new QLineEdit(group);
  CircuitEdit->setPlaceholderText(QStringLiteral("例: R1-p(R2-L2,C2)　- は直列、p(…) は並列"));
  CircuitCheck = new QLabel(group);
  connect(CircuitEdit, &QLineEdit::textChanged, this, [this] { CircuitEdited(); });
  connect(ModelBox, &QComboBox::currentIndexChanged, this, [this] { CircuitEdited(); });
  FitStatus = new QLabel(group);
  FitStatus->setWordWrap(true);
  KeepLines(FitStatus, 2);
  ParameterTable = CreateTable({QStringLiteral("定数"), QStringLiteral("値"), QStringLiteral("不確かさ")},
                               8, group);
  ParameterTable->verticalHeader()->hide();
  DerivedLabel = new QLabel(group);
  WarningLabel = new QLabel(group);
  WarningLabel->setWordWrap(true);
  WarningLabel->setStyleSheet(QStringLiteral("color: #a04000"));
  DrawModelBox = new QCheckBox(QStringLiteral("モデルの |Z| と位相をグラフに破線で描く"), group);
  connect(DrawModelBox, &QCheckBox::toggled, this, [this] { DrawModelToggled(); });
  layout->addLayout(row);
  layout->addWidget(CircuitEdit);
  layout->addWidget(CircuitCheck);
  layout->addWidget(FitStatus);
  layout->addWidget(ParameterTable);
  layout->addWidget(DerivedLabel);
  layout->addWidget(WarningLabel);
  layout->addWidget(DrawModelBox);
  CircuitEdited();
  return group;
}

bool TFormAnalysis::ChosenModel(std::optional<TCircuitModel>& model) {
  const int choice = ModelBox->currentIndex();
  model.reset();
  if (choice <= 0) return true;
  if (choice < CircuitStringItem()) {
    model = std::get<TCircuitModel>(TCircuitModel::Parse(Presets()[choice - 1].Circuit));
    return true;
  }
  TModelParse parsed = TCircuitModel::Parse(CircuitEdit->text().toStdString());
  if (const auto* fault = std::get_if<TCircuitSyntaxError>(&parsed)) {
    CircuitCheck->setText(SyntaxErrorText(*fault));
    return false;
  }
  model = std::get<TCircuitModel>(std::move(parsed));
  return true;
}

// Checked at every keystroke, so that the fault shows before a fit is asked for.
void TFormAnalysis::CircuitEdited() {
  const bool own = ModelBox->currentIndex() == CircuitStringItem();
  CircuitEdit->setEnabled(own);
  std::optional<TCircuitModel> model;
  if (!own || CircuitEdit->text().isEmpty()) {
    CircuitCheck->setText(own ? QStringLiteral("回路式を入力してください") : QString());
  } else if (ChosenModel(model)) {
    CircuitCheck->setText(QStringLiteral("定数 %1 個: %2").arg(model->Size()).arg(NamesText(*model)));
  }
}

void TFormAnalysis::FitClick() {
  fitWanted_ = true;
  if (CurrentKey() != shownKey_) {
    Follow();  // new values, which get their fit as every new measurement does
    return;
  }
  if (shownKey_) StartFit();
}

void TFormAnalysis::StartFit() {
  std::optional<TCircuitModel> model;
  if (!ChosenModel(model)) {
    ClearFit(QStringLiteral("回路式が正しくありません: ") + CircuitCheck->text());
    return;
  }
  ClearFit(QStringLiteral("計算中…"));
  // The measured points themselves: the five-point means flatten narrow
  // resonances. The button stays usable: another click replaces this fit.
  fitRunner_.Start(SamplesOf(main_.ShownCalc(), Band()), std::move(model), *shownKey_);
}

void TFormAnalysis::ClearFit(const QString& status) {
  fit_.reset();
  ParameterTable->setRowCount(0);
  DerivedLabel->clear();
  WarningLabel->clear();
  FitStatus->setText(status);
  ShowQuantityGraph();
  if (overlay_->HasModel()) {
    overlay_->ClearModel();
    RedrawGraph();
  }
}

void TFormAnalysis::FitFinished(const TFitOutcome& outcome) {
  // A fit of values the main window no longer holds is of no use.
  if (!shownKey_ || outcome.Key != *shownKey_) return;
  fit_ = outcome;
  const TAnalysisReport& report = outcome.Report;
  QStringList warnings;
  for (const TAnalysisWarning& w : report.Warnings) warnings << QStringLiteral("⚠ ") + JapaneseWarning(w);
  WarningLabel->setText(warnings.join(QStringLiteral("\n")));
  ShowResonances(report.Resonances);
  const TCircuitFit* fit = report.FitOrNull();
  if (!fit) {
    FitStatus->setText(FitRefusalText(std::get<TFitRefusal>(report.Fit)));
    return;
  }
  const QString chosen = report.Automatic && !report.FitsWell
                             ? QStringLiteral("自動選択: よく合う回路はありません（最も近いもの: ") +
                                   CircuitText(fit->Circuit) + QStringLiteral("）")
                             : (report.Automatic ? QStringLiteral("自動選択: ") : QString()) +
                                   CircuitText(fit->Circuit);
  FitStatus->setText(chosen + QStringLiteral("\n誤差 ") + QString::number(100.0 * fit->Error, 'f', 2) +
                     QStringLiteral(" %（ノイズと丸めで ") +
                     QString::number(100.0 * report.ExpectedError, 'f', 2) +
                     QStringLiteral(" %）　計算 ") + ElapsedText(outcome.Elapsed));
  ShowParameters(report);
  ShowQuantityGraph();
  DrawModelToggled();
}

void TFormAnalysis::ShowParameters(const TAnalysisReport& report) {
  const TCircuitFit& fit = *report.FitOrNull();
  const auto& names = fit.Circuit.Model().Names();
  ParameterTable->setRowCount(int(names.size()));
  for (int row = 0; row < int(names.size()); ++row) {
    const char* unit = ParameterUnit(names[row]);
    SetCell(ParameterTable, row, 0, QString::fromStdString(names[row]));
    SetCell(ParameterTable, row, 1, SiText(fit.Circuit.Values()[row], unit));
    SetCell(ParameterTable, row, 2, UncertaintyText(fit.Uncertainty[row], unit));
  }
  QStringList derived;
  for (const TDerivedValue& d : report.Derived) {
    derived << QString::fromStdString(d.Name) + QStringLiteral(" ") +
                   (*d.Unit ? SiText(d.Value, d.Unit) : RatioText(d.Value));
  }
  DerivedLabel->setText(derived.join(QStringLiteral("　")));
}

void TFormAnalysis::DrawModelToggled() {
  const TCircuitFit* fit = fit_ ? fit_->Report.FitOrNull() : nullptr;
  const bool draw = DrawModelBox->isChecked() && fit;
  if (!draw && !overlay_->HasModel()) return;
  if (draw) {
    overlay_->SetModel(fit_->Key, ModelCurve(fit->Circuit, AnalysedSet(), Band()));
  } else {
    overlay_->ClearModel();
  }
  RedrawGraph();
}

}  // namespace doz
