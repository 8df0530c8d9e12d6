// The seam through which every modal interaction passes: message boxes, the
// Yes/No confirmation, file dialogs, modal forms, the colour chooser and the
// print dialog. The window uses TQtPrompter; tests script the answers.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QColor;
class QDialog;
class QPrinter;
class QWidget;

namespace doz {

enum class TBoxStyle {
  Error,     // stop icon, OK
  Warning,   // exclamation icon, OK
  Question,  // exclamation icon, Yes and No, Yes the default
  Plain,     // no icon, OK
};

enum class TBoxResult { Ok, Yes, No };

struct TFileDialogRequest {
  QString title;        // empty: the dialog's own default title
  QString filter;       // Qt form: "データファイル (*.DTA)"
  QString initialName;  // "*.DTA" or a proposed file name
  QString directory;    // where the dialog opens; empty: the last folder used
};

class TPrompter {
 public:
  virtual ~TPrompter() = default;

  // A box without owner window; returns the button that closed it.
  virtual TBoxResult MessageBox(const QString& text, const QString& caption, TBoxStyle style) = 0;
  // The confirmation dialog (question icon, Yes and No); true only for Yes.
  virtual bool ConfirmYesNo(QWidget* parent, const QString& text) = 0;
  // Open dialog; one file unless `multiple`. Empty list: cancelled. The files
  // come in the dialog's order.
  virtual QStringList OpenFiles(QWidget* parent, const TFileDialogRequest& request,
                                bool multiple) = 0;
  // Save dialog; empty: cancelled.
  virtual QString SaveFile(QWidget* parent, const TFileDialogRequest& request) = 0;
  // Shows a form modally; returns the dialog's result code.
  virtual int RunModal(QDialog& dialog) = 0;
  // The colour chooser; it opens with the colour it last returned.
  virtual std::optional<QColor> ChooseColor(QWidget* parent) = 0;
  virtual bool PrintDialog(QWidget* parent, QPrinter& printer) = 0;
};

}  // namespace doz
