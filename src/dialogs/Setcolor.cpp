#include "Setcolor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "Color_ref.h"
#include "Color_swatch.h"
#include "Prompter.h"

namespace doz {

namespace {
constexpr int SWATCH_WIDTH = 32;
constexpr int SWATCH_HEIGHT = 24;

// One swatch with its label on each row of a group.
void AddSwatchRow(QGridLayout* grid, int row, TColorSwatch* swatch, const QString& label) {
  grid->addWidget(swatch, row, 0);
  grid->addWidget(new QLabel(label), row, 1);
}
}  // namespace

TPenColors TPenColors::Of(const TSettingData& setting) {
  return {setting.PenColor_R, setting.PenColor_Theta, setting.PenColor_R_Ref,
          setting.PenColor_Theta_Ref};
}

void TPenColors::ApplyTo(TSettingData& setting) const {
  setting.PenColor_R = R;
  setting.PenColor_Theta = Theta;
  setting.PenColor_R_Ref = R_Ref;
  setting.PenColor_Theta_Ref = Theta_Ref;
}

TFormSetColor::TFormSetColor(TPrompter& prompter, QWidget* parent)
    : TFixedDialog(QStringLiteral("グラフ線色設定"), parent), prompter_(prompter) {
  PaintBox1 = new TColorSwatch(SWATCH_WIDTH, SWATCH_HEIGHT, this);
  PaintBox2 = new TColorSwatch(SWATCH_WIDTH, SWATCH_HEIGHT, this);
  PaintBox3 = new TColorSwatch(SWATCH_WIDTH, SWATCH_HEIGHT, this);
  PaintBox4 = new TColorSwatch(SWATCH_WIDTH, SWATCH_HEIGHT, this);
  // List-only: a typed text would leave the reference swatches without a set.
  ComboBox1 = new QComboBox(this);
  ComboBox1->addItems({QStringLiteral("データ１"), QStringLiteral("データ２"),
                       QStringLiteral("データ３"), QStringLiteral("データ４"),
                       QStringLiteral("データ５")});
  SetBtn = new QPushButton(QStringLiteral("設定"), this);
  CancelBtn = new QPushButton(QStringLiteral("取り消し"), this);
  auto* layout = new QVBoxLayout;
  layout->addWidget(MeasuredGroup());
  layout->addWidget(ReferenceGroup());
  SetContent(layout, SetBtn, CancelBtn);

  connect(PaintBox1, &TColorSwatch::clicked, this, &TFormSetColor::PaintBox1Click);
  connect(PaintBox2, &TColorSwatch::clicked, this, &TFormSetColor::PaintBox2Click);
  connect(PaintBox3, &TColorSwatch::clicked, this, &TFormSetColor::PaintBox3Click);
  connect(PaintBox4, &TColorSwatch::clicked, this, &TFormSetColor::PaintBox4Click);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TFormSetColor::ComboBox1Change);
  connect(SetBtn, &QPushButton::clicked, this, &TFormSetColor::SetBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TFormSetColor::CancelBtnClick);
}

QWidget* TFormSetColor::MeasuredGroup() {
  auto* group = new QGroupBox(QStringLiteral("測定データ"), this);
  auto* grid = new QGridLayout(group);
  AddSwatchRow(grid, 0, PaintBox1, QStringLiteral("抵抗値グラフ"));
  AddSwatchRow(grid, 1, PaintBox2, QStringLiteral("位相角グラフ"));
  return group;
}

QWidget* TFormSetColor::ReferenceGroup() {
  auto* group = new QGroupBox(QStringLiteral("参照データ"), this);
  auto* grid = new QGridLayout(group);
  grid->addWidget(ComboBox1, 0, 0, 1, 2);
  AddSwatchRow(grid, 1, PaintBox3, QStringLiteral("抵抗値グラフ"));
  AddSwatchRow(grid, 2, PaintBox4, QStringLiteral("位相角グラフ"));
  return group;
}

void TFormSetColor::Prepare(const TSettingData& setting) {
  work_ = TPenColors::Of(setting);
  ComboBox1->setCurrentIndex(0);
  ShowColors();
}

int TFormSetColor::SelectedSet() const { return std::max(0, ComboBox1->currentIndex()); }

void TFormSetColor::ShowColors() {
  const int set = SelectedSet();
  PaintBox1->SetColor(ColorFromRef(work_.R));
  PaintBox2->SetColor(ColorFromRef(work_.Theta));
  PaintBox3->SetColor(ColorFromRef(work_.R_Ref[set]));
  PaintBox4->SetColor(ColorFromRef(work_.Theta_Ref[set]));
}

// The chooser opens with the colour it last returned, not the swatch's.
void TFormSetColor::Pick(TColorRef& target) {
  const std::optional<QColor> chosen = prompter_.ChooseColor(this);
  if (!chosen) return;
  target = RefFromColor(*chosen);
  ShowColors();
}

void TFormSetColor::PaintBox1Click() { Pick(work_.R); }
void TFormSetColor::PaintBox2Click() { Pick(work_.Theta); }
void TFormSetColor::PaintBox3Click() { Pick(work_.R_Ref[SelectedSet()]); }
void TFormSetColor::PaintBox4Click() { Pick(work_.Theta_Ref[SelectedSet()]); }

void TFormSetColor::ComboBox1Change() { ShowColors(); }

void TFormSetColor::SetBtnClick() { Confirm(); }

void TFormSetColor::CancelBtnClick() { Cancel(); }

}  // namespace doz
