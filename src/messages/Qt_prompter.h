// The prompter of the running application: Qt's message boxes and common
// dialogs, each modal and without an owner unless the caller names one.
#pragma once

#include <QColor>
#include <QMessageBox>

#include "Prompter.h"

class QFileDialog;

namespace doz {

QMessageBox::Icon BoxIcon(TBoxStyle style);
QMessageBox::StandardButtons BoxButtons(TBoxStyle style);
// What a box reports once closed with that button; a question closed any
// other way than by Yes is a No.
TBoxResult BoxAnswer(TBoxStyle style, int button);

class TQtPrompter : public TPrompter {
 public:
  TBoxResult MessageBox(const QString& text, const QString& caption, TBoxStyle style) override;
  bool ConfirmYesNo(QWidget* parent, const QString& text) override;
  QStringList OpenFiles(QWidget* parent, const TFileDialogRequest& request,
                        bool multiple) override;
  QString SaveFile(QWidget* parent, const TFileDialogRequest& request) override;
  int RunModal(QDialog& dialog) override;
  std::optional<QColor> ChooseColor(QWidget* parent) override;
  bool PrintDialog(QWidget* parent, QPrinter& printer) override;

 private:
  void Prepare(QFileDialog& dialog, const TFileDialogRequest& request) const;
  QStringList Run(QFileDialog& dialog);

  QString lastDirectory_;
  QColor lastColor_ = Qt::black;
};

}  // namespace doz
