// The graph colour dialog: the measured curves' two colours and a resistance
// and a phase colour for each of the five reference sets.
#pragma once

#include "Doz_setting.h"
#include "Fixed_dialog.h"

class QComboBox;
class QPushButton;

namespace doz {

class TColorSwatch;
class TPrompter;

// Copies the twelve curve colours and nothing else.
void CopyPenColors(const TSettingData& from, TSettingData& to);

class TFormSetColor : public TFixedDialog {
  Q_OBJECT
 public:
  TFormSetColor(TPrompter& prompter, QWidget* parent = nullptr);

  // Resets the form for one run from the settings' colours; the settings and
  // `cancel` are written when it closes.
  void Prepare(TSettingData& setting, bool& cancel);

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
  TSettingData work_;
  TSettingData* setting_ = nullptr;
};

}  // namespace doz
