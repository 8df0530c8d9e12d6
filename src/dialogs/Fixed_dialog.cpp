#include "Fixed_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace doz {

TFixedDialog::TFixedDialog(const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(caption);
}

void TFixedDialog::reject() { Cancel(); }

void TFixedDialog::Confirm() { done(Accepted); }

void TFixedDialog::Cancel() { done(Rejected); }

void TFixedDialog::SetContent(QVBoxLayout* layout, QPushButton* confirm, QPushButton* cancel) {
  confirm->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(confirm);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setLayout(layout);
}

}  // namespace doz
