// A prompter for tests: it records every box and dialog request in order and
// answers from queues the test fills beforehand. Nothing is ever shown, except
// a form handed to RunModal while its queued action works on it.
#pragma once

#include <QColor>
#include <QDialog>
#include <deque>
#include <functional>
#include <vector>

#include "Prompter.h"

namespace doz::test {

enum class TPromptKind { Box, Confirm, OpenFiles, SaveFile, Modal, Color, Print };

struct TPromptRecord {
  TPromptKind kind;
  QString text;                       // box and confirmation text
  QString caption;                    // box caption; form title for Modal
  TBoxStyle style = TBoxStyle::Plain; // boxes only
  TFileDialogRequest file;            // file dialogs only
  bool multiple = false;              // OpenFiles only
};

class TScriptedPrompter : public TPrompter {
 public:
  // Answers, used first in, first out. A question box or a confirmation
  // without a queued answer fails the test and answers No. Empty file,
  // colour and print queues mean the user cancelled; an empty
  // modal queue means the form is rejected without being shown.
  std::deque<TBoxResult> boxAnswers;   // consumed by question boxes only
  std::deque<bool> confirmAnswers;
  std::deque<QStringList> openAnswers;
  std::deque<QString> saveAnswers;
  std::deque<std::optional<QColor>> colorAnswers;
  std::deque<bool> printAnswers;
  // Acts on the shown form (fill fields, click buttons) and returns its result.
  std::deque<std::function<int(QDialog&)>> modalActions;

  TBoxResult MessageBox(const QString& text, const QString& caption, TBoxStyle style) override;
  bool ConfirmYesNo(QWidget* parent, const QString& text) override;
  QStringList OpenFiles(QWidget* parent, const TFileDialogRequest& request,
                        bool multiple) override;
  QString SaveFile(QWidget* parent, const TFileDialogRequest& request) override;
  int RunModal(QDialog& dialog) override;
  std::optional<QColor> ChooseColor(QWidget* parent) override;
  bool PrintDialog(QWidget* parent, QPrinter& printer) override;

  const std::vector<TPromptRecord>& Records() const { return records_; }
  // The message boxes alone, in order.
  std::vector<TPromptRecord> Boxes() const;
  // Queued answers nobody asked for.
  std::size_t UnusedAnswers() const;
  void Clear();

 private:
  std::vector<TPromptRecord> records_;
};

}  // namespace doz::test
