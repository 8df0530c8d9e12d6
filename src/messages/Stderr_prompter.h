// A prompter with no user: every box is written to standard error as
// "caption: text", every question is answered No and every dialog is
// cancelled. For the command-line tool and for process-level tests.
#pragma once

#include "Prompter.h"

namespace doz {

class TStderrPrompter : public TPrompter {
 public:
  TBoxResult MessageBox(const QString& text, const QString& caption, TBoxStyle style) override;
  bool ConfirmYesNo(QWidget* parent, const QString& text) override;
  QStringList OpenFiles(QWidget* parent, const TFileDialogRequest& request,
                        bool multiple) override;
  QString SaveFile(QWidget* parent, const TFileDialogRequest& request) override;
  int RunModal(QDialog& dialog) override;
  std::optional<QColor> ChooseColor(QWidget* parent) override;
  bool PrintDialog(QWidget* parent, QPrinter& printer) override;
};

}  // namespace doz
