// The analysis window's graph of one derived quantity against frequency, or
// the Nyquist plot, beside its other groups: of the sets the main graph
// draws, with the fitted model dashed and the clicked point marked. A click
// on it picks a point as a click on the main graph does; it prints as the
// main graph does.
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "Analysis_window.h"
#include "Doz_main.h"
#include "Doz_printinfo.h"
#include "Model_curve.h"
#include "Prompter.h"
#include "Qo_message.h"
#include "Quantity_graph_view.h"
#include "Quantity_page.h"

namespace doz {

using namespace analysis;

namespace {

// The list's texts, in kQuantities' order.
const char* const kQuantityTexts[] = {"Rs（直列抵抗）",           "Xs（直列リアクタンス）",
                                      "Ls（直列インダクタンス）", "Cs（直列キャパシタンス）",
                                      "Rp（並列抵抗）",           "Lp（並列インダクタンス）",
                                      "Cp（並列キャパシタンス）", "Q（尖鋭度 |X|/R）",
                                      "D（損失係数 R/|X|）",      "ナイキスト線図"};
static_assert(std::size(kQuantityTexts) == std::size(kQuantities));

}  // namespace

QWidget* TFormAnalysis::CreateGraphPanel() {
  auto* group = new QGroupBox(QStringLiteral("グラフ"), this);
  auto* layout = new QVBoxLayout(group);
  auto* row = new QHBoxLayout;
  QuantityBox = new QComboBox(group);
  for (const char* text : kQuantityTexts) QuantityBox->addItem(QString::fromUtf8(text));
  auto* label = new QLabel(QStringLiteral("表示する量(&Q)"), group);
  label->setBuddy(QuantityBox);
  PrintButton = new QPushButton(QStringLiteral("印刷…"), group);
  connect(PrintButton, &QPushButton::clicked, this, [this] { PrintGraphClick(); });
  row->addWidget(label);
  row->addWidget(QuantityBox, 1);
  row->addWidget(PrintButton);
  QuantityView = new TQuantityGraphView(group);
  QuantityView->OnPointPicked = [this](int slot) { main_.mPickPoint(slot); };
  auto* hint =
      new QLabel(QStringLiteral("ホイール: 拡大・縮小（軸の上ではその軸）　ドラッグ: 範囲を拡大　"
                                "ダブルクリック: 全体"),
                 group);
  layout->addLayout(row);
  layout->addWidget(QuantityView, 1);
  layout->addWidget(hint);
  connect(QuantityBox, &QComboBox::currentIndexChanged, this, [this] { ShowQuantityGraph(); });
  return group;
}

void TFormAnalysis::PrintGraphClick() {
  Follow();
  if (!shownKey_) return;
  main_.FormPrnInfo->Prepare(main_.SettingRec.pstr);
  const int answer = main_.Prompter().RunModal(*main_.FormPrnInfo);
  activateWindow();
  if (answer != QDialog::Accepted) return;
  main_.SettingRec.pstr = main_.FormPrnInfo->Texts();
  if (!main_.Prompter().PrintDialog(this, main_.ThePrinter())) return;
  if (!PrintQuantityPage(QuantityView->Graph(), main_.ThePrinter(), main_.SettingRec))
    main_.QoMessage->PrintError();
}

void TFormAnalysis::ShowQuantityGraph() {
  if (!QuantityView) return;
  const std::optional<std::uint64_t> key = CurrentKey();
  TQuantityInput input;
  input.Band = Band();
  std::optional<TCalcData> model;
  if (key) {
    input.Measured = &AnalysedSet();
    const TCircuitFit* fit = fit_ && fit_->Key == *key ? fit_->Report.FitOrNull() : nullptr;
    if (fit) input.Model = &model.emplace(ModelCurve(fit->Circuit, AnalysedSet(), Band()));
  }
  for (int k = 0; k < REF_MAX; ++k)
    if (main_.RefData[k].Present == 1) input.References[k] = &ReferenceSet(k);
  const int chosen = std::clamp(QuantityBox->currentIndex(), 0, int(std::size(kQuantities)) - 1);
  QuantityView->SetData(input, kQuantities[chosen], main_.SettingRec,
                        ClickedSample() ? clickedSlot_ : -1);
}

}  // namespace doz
