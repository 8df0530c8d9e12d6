#include "Doz_printinfo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Cp932_validator.h"

namespace doz {

namespace {
constexpr int EDIT_WIDTH = 360;
}  // namespace

TFormPrnInfo::TFormPrnInfo(QWidget* parent)
    : TFixedDialog(QStringLiteral("Do-Z グラフ印刷"), parent) {
  Label1 = new QLabel(QStringLiteral("印刷する測定情報の設定"), this);
  auto* layout = new QVBoxLayout;
  layout->addWidget(Label1);
  auto* validator = new TCp932Validator(PRINT_TEXT_MAX_BYTES, this);
  for (QLineEdit** edit : {&Edit1, &Edit2, &Edit3}) {
    *edit = new QLineEdit(this);
    (*edit)->setMinimumWidth(EDIT_WIDTH);
    (*edit)->setValidator(validator);
    layout->addWidget(*edit);
  }
  Button1 = new QPushButton(QStringLiteral("印刷"), this);
  Button2 = new QPushButton(QStringLiteral("取消し"), this);
  SetContent(layout, Button1, Button2);

  connect(Button1, &QPushButton::clicked, this, &TFormPrnInfo::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TFormPrnInfo::Button2Click);
}

void TFormPrnInfo::Prepare(const TPrintTexts& texts) { texts_ = texts; }

void TFormPrnInfo::showEvent(QShowEvent* event) {
  for (std::size_t i = 0; i < Edits().size(); ++i)
    Edits()[i]->setText(QString::fromStdString(texts_[i]));
  TFixedDialog::showEvent(event);
}

void TFormPrnInfo::Button1Click() {
  for (std::size_t i = 0; i < Edits().size(); ++i) texts_[i] = Edits()[i]->text().toStdString();
  Confirm();
}

void TFormPrnInfo::Button2Click() { Cancel(); }

}  // namespace doz
