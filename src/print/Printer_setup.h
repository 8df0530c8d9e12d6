// The printer set-up form of the print commands: which printer (an installed
// one, or a PDF file), the paper and the orientation that the next print
// uses.
#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include "Fixed_dialog.h"

class QComboBox;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace doz {

struct TPrinterChoice {
  QString printer;  // an installed printer's name; empty: a PDF file
  QPageSize::PageSizeId paper = QPageSize::A4;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;

  // The choice as the printer object holds it.
  static TPrinterChoice Of(const QPrinter& printer);
  void ApplyTo(QPrinter& printer) const;
};

class TFormPrinterSetup : public TFixedDialog {
  Q_OBJECT
 public:
  explicit TFormPrinterSetup(QWidget* parent = nullptr);

  // Fills the form with the printers installed now and the choice given.
  void Prepare(const TPrinterChoice& choice);
  // What the form shows now; taken when it was confirmed.
  TPrinterChoice Choice() const;

  QComboBox* PrinterBox;
  QComboBox* PaperBox;
  QRadioButton* PortraitButton;
  QRadioButton* LandscapeButton;
  QPushButton* Button1;
  QPushButton* Button2;
};

}  // namespace doz
