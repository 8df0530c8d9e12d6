#include "Stderr_prompter.h"

#include <QColor>
#include <QDialog>
#include <cstdio>

namespace doz {

TBoxResult TStderrPrompter::MessageBox(const QString& text, const QString& caption,
                                       TBoxStyle style) {
  std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
  std::fflush(stderr);
  return style == TBoxStyle::Question ? TBoxResult::No : TBoxResult::Ok;
}

bool TStderrPrompter::ConfirmYesNo(QWidget*, const QString& text) {
  MessageBox(text, QString(), TBoxStyle::Question);
  return false;
}

QStringList TStderrPrompter::OpenFiles(QWidget*, const TFileDialogRequest&, bool) { return {}; }

QString TStderrPrompter::SaveFile(QWidget*, const TFileDialogRequest&) { return {}; }

int TStderrPrompter::RunModal(QDialog&) { return QDialog::Rejected; }

std::optional<QColor> TStderrPrompter::ChooseColor(QWidget*) { return std::nullopt; }

bool TStderrPrompter::PrintDialog(QWidget*, QPrinter&) { return false; }

}  // namespace doz
