#include "Qt_prompter.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPrintDialog>

namespace doz {

QMessageBox::Icon BoxIcon(TBoxStyle style) {
  switch (style) {
    case TBoxStyle::Error:
      return QMessageBox::Critical;
    case TBoxStyle::Warning:
    case TBoxStyle::Question:
      return QMessageBox::Warning;
    case TBoxStyle::Plain:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(TBoxStyle style) {
  if (style == TBoxStyle::Question) return QMessageBox::Yes | QMessageBox::No;
  return QMessageBox::Ok;
}

TBoxResult BoxAnswer(TBoxStyle style, int button) {
  if (style != TBoxStyle::Question) return TBoxResult::Ok;
  return button == QMessageBox::Yes ? TBoxResult::Yes : TBoxResult::No;
}

TBoxResult TQtPrompter::MessageBox(const QString& text, const QString& caption,
                                   TBoxStyle style) {
  QMessageBox box(BoxIcon(style), caption, text, BoxButtons(style));
  if (style == TBoxStyle::Question) box.setDefaultButton(QMessageBox::Yes);
  return BoxAnswer(style, box.exec());
}

bool TQtPrompter::ConfirmYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), text,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

void TQtPrompter::Prepare(QFileDialog& dialog, const TFileDialogRequest& request) const {
  if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
  dialog.setNameFilter(request.filter);
  const QString& start = request.directory.isEmpty() ? lastDirectory_ : request.directory;
  if (!start.isEmpty()) dialog.setDirectory(start);
  // A pattern such as "*.DTA" is already the filter; only a real name is
  // put into the name field.
  const bool pattern = request.initialName.contains(u'*') || request.initialName.contains(u'?');
  if (!pattern && !request.initialName.isEmpty()) dialog.selectFile(request.initialName);
}

QStringList TQtPrompter::Run(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return {};
  lastDirectory_ = dialog.directory().absolutePath();
  return dialog.selectedFiles();
}

QStringList TQtPrompter::OpenFiles(QWidget* parent, const TFileDialogRequest& request,
                                   bool multiple) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  Prepare(dialog, request);
  return Run(dialog);
}

QString TQtPrompter::SaveFile(QWidget* parent, const TFileDialogRequest& request) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The save commands add the suffix and ask before overwriting themselves.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  Prepare(dialog, request);
  const QStringList files = Run(dialog);
  return files.isEmpty() ? QString() : files.first();
}

int TQtPrompter::RunModal(QDialog& dialog) { return dialog.exec(); }

std::optional<QColor> TQtPrompter::ChooseColor(QWidget* parent) {
  QColorDialog dialog(lastColor_, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  lastColor_ = dialog.selectedColor();
  return lastColor_;
}

bool TQtPrompter::PrintDialog(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace doz
