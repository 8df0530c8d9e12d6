// The size a label takes for a text, as the toolkit's label sizes itself to
// its text: the text's bounding box in the font, within the label's own
// fixed limits (the window's labels are 12 pixels high).
#pragma once

#include <string>

#include "Graph_labels.h"

class QFont;
class QLabel;

namespace doz {

TLabelSize TextSizeIn(const QFont& font, const std::string& text);
TLabelSize LabelSizeOf(const QLabel& label, const std::string& text);

}  // namespace doz
