// The graph colour dialog: the measured curves' two colours and a resistance
// and a phase colour for each of the five reference sets.
#pragma once

#include <array>

#include "Doz_setting.h"
#include "Fixed_dialog.h"

class QComboBox;
class QPushButton;

namespace doz {

class TColorSwatch;
class TPrompter;

// The twelve curve colours of the settings.
struct TPenColors {
  TColorRef R = 0;
  TColorRef Theta = 0;
  std::array<TColorRef, REF_MAX> R_Ref{};
  std::array<TColorRef, REF_MAX> Theta_Ref{};

  static TPenColors Of(const TSettingData& setting);
  // Writes the twelve colours and nothing else.
  void ApplyTo(TSettingData& setting) const;
  bool operator==(const TPenColors&) const = default;
};

class TFormSetColor : public TFixedDialog {
  Q_OBJECT
 public:
  TFormSetColor(TPrompter& prompter, QWidget* parent = nullptr);

  // Resets the form for one run from the settings' colours.
  void Prepare(const TSettingData& setting);
  // The colours as picked so far; confirmed when the run ended Accepted.
  const TPenColors& Colors() const { return work_; }

  void PaintBox1Click();
  void PaintBox2Click();
  void PaintBox3Click();
  void PaintBox4Click();
  void ComboBox1Change();
  void SetBtnClick();
  void CancelBtnClick();

  TColorSwatch* PaintBox1;
  TColorSwatch* PaintBox2;
  QComboBox* ComboBox1;
  TColorSwatch* PaintBox3;
  TColorSwatch* PaintBox4;
  QPushButton* SetBtn;
  QPushButton* CancelBtn;

 private:
  QWidget* MeasuredGroup();
  QWidget* ReferenceGroup();
  int SelectedSet() const;
  void Pick(TColorRef& target);
  void ShowColors();

  TPrompter& prompter_;
  TPenColors work_;
};

}  // namespace doz
