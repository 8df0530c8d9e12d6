#include "File_answer_prompter.h"

namespace doz::test {

void TFileAnswerPrompter::Answer(const std::vector<std::string>& files) {
  QStringList answer;
  for (const std::string& f : files) answer << QString::fromStdString(f);
  openAnswers.push_back(answer);
}

QStringList TFileAnswerPrompter::OpenFiles(QWidget*, const TFileDialogRequest&, bool) {
  if (openAnswers.empty()) return {};
  QStringList files = openAnswers.front();
  openAnswers.pop_front();
  return files;
}

std::unique_ptr<TFormMain> UnattendedWindow(const std::string& appDir,
                                            TFileAnswerPrompter& prompter) {
  TMainOptions options;
  options.appDir = appDir;
  options.prompter = &prompter;
  options.screenSize = [] { return QSize(1920, 1200); };
  auto window = std::make_unique<TFormMain>(std::move(options));
  if (!window->ServicesCreated()) return nullptr;
  window->mOnIdle();
  return window;
}

}  // namespace doz::test
