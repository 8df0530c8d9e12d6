// Status texts on the command line: every non-empty text written to a panel
// becomes one line, in the order written.
#pragma once

#include <functional>
#include <string>

#include "Status_panels.h"

namespace doz::cli {

// Takes one line of text (UTF-8, without its line end).
using TLineSink = std::function<void(const std::string& line)>;

class TCliPanels : public TStatusPanels {
 public:
  explicit TCliPanels(TLineSink sink) : sink_(std::move(sink)) {}

  int PanelCount() const override { return kPanels; }
  void SetPanelText(int panel, const QString& text) override;
  void SetPanelWidth(int, int) override {}
  int TextWidth(const QString& text) const override { return static_cast<int>(text.size()); }

  static constexpr int kPanels = 3;

 private:
  TLineSink sink_;
};

}  // namespace doz::cli
