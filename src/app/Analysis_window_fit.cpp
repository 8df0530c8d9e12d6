// The analysis window's equivalent-circuit fit: the model choice, the fit on
// the thread pool, the parameter table and the model over the graph.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Analysis_texts.h"
#include "Analysis_window.h"
#include "Doz_main.h"
#include "Model_curve.h"

namespace doz {

using namespace analysis;

QGroupBox* TFormAnalysis::CreateFitGroup() {
  auto* group = new QGroupBox(QStringLiteral("等価回路"), this);
  auto* layout = new QVBoxLayout(group);
  auto* row = new QHBoxLayout;
  ModelBox = new QComboBox(group);
  ModelBox->addItem(QStringLiteral("自動（BIC で選択）"));
  for (TCircuitKind kind : kCircuitKinds) ModelBox->addItem(CircuitText(kind));
  FitButton = new QPushButton(QStringLiteral("フィット"), group);
  connect(FitButton, &QPushButton::clicked, this, [this] { FitClick(); });
  row->addWidget(ModelBox, 1);
  row->addWidget(FitButton);
  FitStatus = new QLabel(group);
  FitStatus->setWordWrap(true);
  KeepLines(FitStatus, 2);
  ParameterTable = CreateTable({QStringLiteral("定数"), QStringLiteral("値")}, 4, group);
  ParameterTable->verticalHeader()->hide();
  DrawModelBox = new QCheckBox(QStringLiteral("モデルの |Z| と位相をグラフに破線で描く"), group);
  connect(DrawModelBox, &QCheckBox::toggled, this, [this] { DrawModelToggled(); });
  layout->addLayout(row);
  layout->addWidget(FitStatus);
  layout->addWidget(ParameterTable);
  layout->addWidget(DrawModelBox);
  return group;
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
  ClearFit(QStringLiteral("計算中…"));
  const int choice = ModelBox->currentIndex();
  const std::optional<TCircuitKind> kind =
      choice <= 0 ? std::nullopt : std::optional(kCircuitKinds[choice - 1]);
  // The button stays usable: another click replaces this fit.
  fitRunner_.Start(SamplesOf(AnalysedSet(), Band()), kind, *shownKey_);
}

void TFormAnalysis::ClearFit(const QString& status) {
  fit_.reset();
  ParameterTable->setRowCount(0);
  FitStatus->setText(status);
  if (overlay_->HasModel()) {
    overlay_->ClearModel();
    RedrawGraph();
  }
}

void TFormAnalysis::FitFinished(const TFitOutcome& outcome) {
  // A fit of values the main window no longer holds is of no use.
  if (!shownKey_ || outcome.Key != *shownKey_) return;
  fit_ = outcome;
  const auto* fit = std::get_if<TCircuitFit>(&outcome.Result);
  if (!fit) {
    FitStatus->setText(FitRefusalText(std::get<TFitRefusal>(outcome.Result)));
    return;
  }
  FitStatus->setText((outcome.Automatic ? QStringLiteral("自動選択: ") : QString()) +
                     CircuitText(fit->Circuit.Kind()) + QStringLiteral("\n誤差 ") +
                     QString::number(100.0 * fit->Error, 'f', 2) +
                     QStringLiteral(" %（相対 RMS）　計算 ") + ElapsedText(outcome.Elapsed));
  ShowParameters(*fit);
  DrawModelToggled();
}

void TFormAnalysis::ShowParameters(const TCircuitFit& fit) {
  const auto names = ParameterNames(fit.Circuit.Kind());
  ParameterTable->setRowCount(int(names.size()));
  for (int row = 0; row < int(names.size()); ++row) {
    SetCell(ParameterTable, row, 0, QString::fromUtf8(names[row]));
    SetCell(ParameterTable, row, 1, SiText(fit.Circuit.Values()[row], ParameterUnit(names[row])));
  }
}

void TFormAnalysis::DrawModelToggled() {
  const auto* fit = fit_ ? std::get_if<TCircuitFit>(&fit_->Result) : nullptr;
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
