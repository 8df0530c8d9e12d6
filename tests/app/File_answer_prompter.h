// A prompter for programs that drive the window without a user (the
// screenshot and the benchmark): open dialogs answer from a queue, every
// other box and dialog behaves as the standard-error prompter's.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "Doz_main.h"
#include "Stderr_prompter.h"

namespace doz::test {

class TFileAnswerPrompter : public TStderrPrompter {
 public:
  std::deque<QStringList> openAnswers;

  // Queues one answer of these files.
  void Answer(const std::vector<std::string>& files);
  QStringList OpenFiles(QWidget* parent, const TFileDialogRequest& request,
                        bool multiple) override;
};

// A main window kept in appDir and answered by `prompter`, on a 1920 x 1200
// screen, after its first idle pass; null when its services failed.
std::unique_ptr<TFormMain> UnattendedWindow(const std::string& appDir,
                                            TFileAnswerPrompter& prompter);

}  // namespace doz::test
