// The quantity graph on the page the print command composes: the graph with
// its labels fills the page's graph area, the title and the information
// lines follow in their rows beneath it.
#pragma once

#include <QString>

#include "Doz_setting.h"

class QPaintDevice;

namespace doz {

class TQuantityGraph;

// The page is a printer, a PDF writer or an image filled white by its
// owner; `note` follows the title ("補正あり" for compensated values). False
// when painting cannot begin or end (an unwritable output) or the page has
// no room for the graph.
bool PrintQuantityPage(const TQuantityGraph& graph, QPaintDevice& page,
                       const TSettingData& setting, const QString& note = QString());

}  // namespace doz
