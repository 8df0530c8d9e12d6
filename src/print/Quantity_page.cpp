#include "Quantity_page.h"

#include <QPainter>

#include "Doz_print.h"
#include "Quantity_graph.h"

namespace doz {

bool PrintQuantityPage(const TQuantityGraph& graph, QPaintDevice& page,
                       const TSettingData& setting, const QString& note) {
  const float scale = PageScale(page);
  const TPrintLayout layout = PrintLayout(page.logicalDpiX(), page.logicalDpiY(), page.widthMM(),
                                          page.heightMM(), PageOrientation(page));
  if (layout.GraphWidth <= 0 || layout.GraphHeight <= 0) return false;
  QPainter painter;
  if (!painter.begin(&page)) return false;
  const QRect area(layout.FrameLeft, layout.FrameTop, layout.GraphWidth, layout.GraphHeight);
  graph.Paint(painter, area, {PrintFont(), scale});
  painter.setFont(PrintFont());
  painter.setPen(Qt::black);
  PrintPageTexts(painter, layout, scale, setting, note);
  return painter.end();
}

}  // namespace doz
