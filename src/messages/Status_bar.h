// The main window's status bar: fixed-width sunken panels side by side, no
// size grip, laid out by the window itself.
#pragma once

#include <QWidget>
#include <vector>

#include "Status_panels.h"

namespace doz {

class TStatusBar : public QWidget, public TStatusPanels {
  Q_OBJECT
 public:
  TStatusBar(int panels, int initialWidth, QWidget* parent);

  int PanelCount() const override;
  void SetPanelText(int panel, const QString& text) override;
  void SetPanelWidth(int panel, int width) override;
  int TextWidth(const QString& text) const override;

  QString PanelText(int panel) const;
  int PanelWidth(int panel) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct TPanel {
    QString text;
    int width;
  };
  std::vector<TPanel> panels_;
};

}  // namespace doz
