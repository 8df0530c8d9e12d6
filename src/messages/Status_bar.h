// The main window's status bar: fixed-width sunken panels side by side, no
// size grip, laid out by the window itself.
#pragma once

#include <QRect>
#include <QWidget>
#include <optional>
#include <vector>

#include "Glyph_cache.h"
#include "Shaped_line.h"
#include "Status_panels.h"

class QPainter;

namespace doz {

// Rectangle of a panel in a bar of that height: the panels stand side by side
// from the left edge in their widths, a negative width counting as 0.
QRect StatusPanelRect(const std::vector<int>& widths, int panel, int height);

class TStatusBar : public QWidget, public TStatusPanels {
  Q_OBJECT
 public:
  TStatusBar(int panels, int initialWidth, QWidget* parent);
  ~TStatusBar() override;

  // Writes to a panel the bar does not have are ignored.
  int PanelCount() const override;
  void SetPanelText(int panel, const QString& text) override;
  void SetPanelWidth(int panel, int width) override;
  // A panel's own text is measured from the glyphs it is drawn with.
  int TextWidth(const QString& text) const override;

  // Empty text and width 0 for a panel the bar does not have.
  QString PanelText(int panel) const;
  int PanelWidth(int panel) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool HasPanel(int panel) const;
  std::vector<int> Widths() const;
  // The panel's text shaped in the bar's current font, made when first
  // needed.
  const TShapedLine& Line(int panel) const;
  void DrawText(QPainter& painter, const QRect& inside, int panel) const;

  // A sweep rewrites a panel for every point: its text is shaped once, for
  // its width and for every paint, not once for each.
  struct TPanel {
    QString text;
    int width;
    mutable std::optional<TShapedLine> line;
    mutable QFont font;  // what the line was shaped in
    mutable Qt::LayoutDirection direction = Qt::LeftToRight;
  };
  std::vector<TPanel> panels_;
  mutable TGlyphCache glyphs_;
};

}  // namespace doz
