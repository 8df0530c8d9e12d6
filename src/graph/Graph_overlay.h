// What the renderer draws over the curves of every picture it composes on
// screen, after the curves and before the picture is shown: the analysis's
// fitted model and its comparison marks. Printing leaves it out.
#pragma once

#include "Doz_setting.h"
#include "Graph_scale.h"

class QPainter;

namespace doz {

class TGraphOverlay {
 public:
  virtual ~TGraphOverlay() = default;
  // The scale and the range are those the curves were just drawn with.
  virtual void Draw(QPainter& painter, const TPlotScale& scale, const TGraphRange& range,
                    const TSettingData& setting) const = 0;
};

}  // namespace doz
