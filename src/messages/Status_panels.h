// Where status texts go: the window's status bar, or the command line's
// standard error.
#pragma once

#include <QString>

namespace doz {

class TStatusPanels {
 public:
  virtual ~TStatusPanels() = default;
  virtual int PanelCount() const = 0;
  virtual void SetPanelText(int panel, const QString& text) = 0;
  virtual void SetPanelWidth(int panel, int width) = 0;
  // Width of the text in pixels in the panels' own font.
  virtual int TextWidth(const QString& text) const = 0;
};

}  // namespace doz
