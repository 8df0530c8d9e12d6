#include "Cli_panels.h"

namespace doz::cli {

void TCliPanels::SetPanelText(int, const QString& text) {
  if (!text.isEmpty()) sink_(text.toStdString());
}

}  // namespace doz::cli
