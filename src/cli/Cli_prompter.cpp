#include "Cli_prompter.h"

namespace doz::cli {

TBoxResult TCliPrompter::MessageBox(const QString& text, const QString&, TBoxStyle style) {
  sink_(text.toStdString());
  return style == TBoxStyle::Question ? TBoxResult::No : TBoxResult::Ok;
}

}  // namespace doz::cli
