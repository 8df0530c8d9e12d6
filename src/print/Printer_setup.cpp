#include "Printer_setup.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace doz {
namespace {

// The papers a measurement report is printed on.
constexpr QPageSize::PageSizeId kPapers[] = {QPageSize::A4,    QPageSize::A3,     QPageSize::A5,
                                             QPageSize::B5,    QPageSize::JisB5,  QPageSize::B4,
                                             QPageSize::JisB4, QPageSize::Letter, QPageSize::Legal};

// The name the print dialog gives the PDF entry, in the toolkit's language.
QString PdfEntry() {
  return QCoreApplication::translate("QPrintDialog", "Print to File (PDF)");
}

}  // namespace

TPrinterChoice TPrinterChoice::Of(const QPrinter& printer) {
  TPrinterChoice choice;
  if (printer.outputFormat() == QPrinter::NativeFormat) choice.printer = printer.printerName();
  choice.paper = printer.pageLayout().pageSize().id();
  choice.orientation = printer.pageLayout().orientation();
  return choice;
}

void TPrinterChoice::ApplyTo(QPrinter& printer) const {
  if (this->printer.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
  } else {
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(this->printer);
  }
  printer.setPageSize(QPageSize(paper));
  printer.setPageOrientation(orientation);
}

TFormPrinterSetup::TFormPrinterSetup(QWidget* parent)
    : TFixedDialog(QStringLiteral("印刷設定"), parent) {
  PrinterBox = new QComboBox(this);
  PrinterBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  PaperBox = new QComboBox(this);
  for (const QPageSize::PageSizeId id : kPapers) PaperBox->addItem(QPageSize::name(id), id);
  PortraitButton = new QRadioButton(QStringLiteral("縦(&T)"), this);
  LandscapeButton = new QRadioButton(QStringLiteral("横(&Y)"), this);
  Button1 = new QPushButton(QStringLiteral("設定"), this);
  Button2 = new QPushButton(QStringLiteral("取り消し"), this);

  auto* orientation = new QHBoxLayout;
  orientation->addWidget(PortraitButton);
  orientation->addWidget(LandscapeButton);
  orientation->addStretch();
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("プリンタ(&P):"), PrinterBox);
  form->addRow(QStringLiteral("用紙(&S):"), PaperBox);
  form->addRow(QStringLiteral("印刷の向き:"), orientation);
  auto* layout = new QVBoxLayout;
  layout->addLayout(form);
  SetContent(layout, Button1, Button2);

  connect(Button1, &QPushButton::clicked, this, &TFormPrinterSetup::Confirm);
  connect(Button2, &QPushButton::clicked, this, &TFormPrinterSetup::Cancel);
}

void TFormPrinterSetup::Prepare(const TPrinterChoice& choice) {
  PrinterBox->clear();
  for (const QString& name : QPrinterInfo::availablePrinterNames()) PrinterBox->addItem(name, name);
  PrinterBox->addItem(PdfEntry(), QString());
  const int printer = PrinterBox->findData(choice.printer);
  PrinterBox->setCurrentIndex(printer >= 0 ? printer : PrinterBox->count() - 1);
  if (PaperBox->findData(choice.paper) < 0) PaperBox->addItem(QPageSize::name(choice.paper), choice.paper);
  PaperBox->setCurrentIndex(PaperBox->findData(choice.paper));
  (choice.orientation == QPageLayout::Landscape ? LandscapeButton : PortraitButton)->setChecked(true);
}

TPrinterChoice TFormPrinterSetup::Choice() const {
  TPrinterChoice choice;
  choice.printer = PrinterBox->currentData().toString();
  choice.paper = static_cast<QPageSize::PageSizeId>(PaperBox->currentData().toInt());
  choice.orientation = LandscapeButton->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
  return choice;
}

}  // namespace doz
