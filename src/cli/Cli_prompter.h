// Message boxes of the command line as lines of the command's own output, so
// that they keep their order with the status texts and the progress.
#pragma once

#include "Cli_panels.h"
#include "Stderr_prompter.h"

namespace doz::cli {

class TCliPrompter : public TStderrPrompter {
 public:
  explicit TCliPrompter(TLineSink sink) : sink_(std::move(sink)) {}

  // The box's text as one line; a question is answered No.
  TBoxResult MessageBox(const QString& text, const QString& caption, TBoxStyle style) override;

 private:
  TLineSink sink_;
};

}  // namespace doz::cli
