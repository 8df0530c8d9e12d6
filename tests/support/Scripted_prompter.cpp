#include "Scripted_prompter.h"

#include <gtest/gtest.h>

namespace doz::test {

namespace {
// The front answer of a queue, or `otherwise` when the queue is empty.
template <typename T>
T Take(std::deque<T>& queue, T otherwise) {
  if (queue.empty()) return otherwise;
  T answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}
}  // namespace

TBoxResult TScriptedPrompter::MessageBox(const QString& text, const QString& caption,
                                         TBoxStyle style) {
  records_.push_back({TPromptKind::Box, text, caption, style, {}, false});
  if (style != TBoxStyle::Question) return TBoxResult::Ok;
  if (boxAnswers.empty()) {
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return TBoxResult::No;
  }
  return Take(boxAnswers, TBoxResult::No);
}

bool TScriptedPrompter::ConfirmYesNo(QWidget*, const QString& text) {
  records_.push_back({TPromptKind::Confirm, text, {}, TBoxStyle::Question, {}, false});
  if (confirmAnswers.empty()) {
    ADD_FAILURE() << "unexpected confirmation: " << text.toStdString();
    return false;
  }
  return Take(confirmAnswers, false);
}

QStringList TScriptedPrompter::OpenFiles(QWidget*, const TFileDialogRequest& request,
                                         bool multiple) {
  records_.push_back({TPromptKind::OpenFiles, {}, {}, TBoxStyle::Plain, request, multiple});
  return Take(openAnswers, QStringList());
}

QString TScriptedPrompter::SaveFile(QWidget*, const TFileDialogRequest& request) {
  records_.push_back({TPromptKind::SaveFile, {}, {}, TBoxStyle::Plain, request, false});
  return Take(saveAnswers, QString());
}

int TScriptedPrompter::RunModal(QDialog& dialog) {
  records_.push_back({TPromptKind::Modal, {}, dialog.windowTitle(), TBoxStyle::Plain, {}, false});
  if (modalActions.empty()) return QDialog::Rejected;
  const std::function<int(QDialog&)> action = Take(modalActions, {});
  dialog.show();
  const int result = action(dialog);
  if (dialog.isVisible()) {
    ADD_FAILURE() << "the form " << dialog.windowTitle().toStdString()
                  << " was left open by its scripted action";
    dialog.hide();
  }
  return result;
}

std::optional<QColor> TScriptedPrompter::ChooseColor(QWidget*) {
  records_.push_back({TPromptKind::Color, {}, {}, TBoxStyle::Plain, {}, false});
  return Take(colorAnswers, std::optional<QColor>());
}

bool TScriptedPrompter::PrintDialog(QWidget*, QPrinter&) {
  records_.push_back({TPromptKind::Print, {}, {}, TBoxStyle::Plain, {}, false});
  return Take(printAnswers, false);
}

std::vector<TPromptRecord> TScriptedPrompter::Boxes() const {
  std::vector<TPromptRecord> boxes;
  for (const TPromptRecord& r : records_)
    if (r.kind == TPromptKind::Box) boxes.push_back(r);
  return boxes;
}

std::size_t TScriptedPrompter::UnusedAnswers() const {
  return boxAnswers.size() + confirmAnswers.size() + openAnswers.size() + saveAnswers.size() +
         colorAnswers.size() + printAnswers.size() + modalActions.size();
}

void TScriptedPrompter::Clear() {
  records_.clear();
  boxAnswers.clear();
  confirmAnswers.clear();
  openAnswers.clear();
  saveAnswers.clear();
  colorAnswers.clear();
  printAnswers.clear();
  modalActions.clear();
}

}  // namespace doz::test
