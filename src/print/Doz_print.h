// The page composer: the graph as it is on screen, printed on one page with a
// frame around the plot, the axis labels' current texts, a title and the
// three print-information lines. Made for one print and deleted after it.
#pragma once

#include <QPageLayout>
#include <QString>
#include <array>

#include "Doz_setting.h"
#include "Graph_labels.h"

class QFont;
class QPainter;
class QPaintDevice;
class QString;

namespace doz {

class TGraph_RTF;

// Where the graph goes on the page, in device pixels. The graph area is
// framed by the margins; the plot sits 15 mm inside it left and right and
// 5 mm inside at top and bottom.
struct TPrintLayout {
  int FrameLeft = 0;
  int FrameTop = 0;
  int GraphWidth = 0;
  int GraphHeight = 0;
  int FrameRight = 0;
  int FrameBottom = 0;
  int PlotWidth = 0;
  int PlotHeight = 0;
  int PlotLeft = 0;
  int PlotTop = 0;
  int PlotRight = 0;
  int PlotBottom = 0;
};

// Millimetres to device pixels, truncated.
int MmToPixels(double mm, int dpi);
// The page size is that of the printable area; in landscape the graph width
// follows the page's shorter side.
TPrintLayout PrintLayout(int dpiX, int dpiY, int pageWidthMm, int pageHeightMm,
                         QPageLayout::Orientation orientation);
// Device pixels per screen pixel, for the label sizes and text rows.
float PrintTextScale(int dpiY, double screenDpi);
// Top of a text row `offset` screen pixels below the bottom of the graph area.
int PrintTextRowY(int frameBottom, float scale, int offset);
// The printer's or PDF writer's own orientation; for any other device (an
// image) the shape of the page decides.
QPageLayout::Orientation PageOrientation(const QPaintDevice& page);
// Device pixels of the page per screen pixel, for label sizes, text rows
// and pens.
float PageScale(const QPaintDevice& page);
// The page's label font: the application's face at 9 points of the device.
QFont PrintFont();
// The title, a note after it on its row (none when empty) and the
// settings' non-empty information lines in their rows under the graph area,
// in the painter's font and pen.
void PrintPageTexts(QPainter& painter, const TPrintLayout& layout, float scale,
                    const TSettingData& setting, const QString& note);

class TDoZ_Print {
 public:
  // Holds the references only. The page is a printer, a PDF writer or an
  // image; an image must be filled white by its owner. The graph's range and
  // its labels as laid out on screen are printed.
  TDoZ_Print(const TGraph_RTF& graph, QPaintDevice& page, const TSettingData& setting,
             const TLabelLayout& labels);
  // The same without a window: a range scaled and labels laid out by the
  // caller.
  TDoZ_Print(const TGraphRange& range, QPaintDevice& page, const TSettingData& setting,
             const TLabelLayout& labels);

  // Composes and prints the page: measured curves, with the references when
  // withRefs, without phase curves when rOnly. False when the work image
  // cannot be made or the print job cannot begin or end (for example an
  // unwritable output file); nothing is printed then.
  bool Print(bool rOnly, bool withRefs);
  // A word after the title on its row ("補正あり" for compensated values);
  // none by default.
  void SetNote(const QString& note) { note_ = note; }

 private:
  // The texts of N label slots from firstSlot at the places `positions`
  // fills in; a place it leaves at -1 is not printed.
  template <std::size_t N, class TPositions>
  void PrintAxis(QPainter& painter, int firstSlot, TPositions positions) const;
  void PrintLabels(QPainter& painter, const TPrintGeometry& geometry) const;

  const TGraphRange& range_;
  QPaintDevice& page_;
  const TSettingData& setting_;
  const TLabelLayout& labels_;
  QString note_;
};

}  // namespace doz
