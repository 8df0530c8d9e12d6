#include "Label_measure.h"

#include <QFontMetrics>
#include <QLabel>

namespace doz {
namespace {

// Room a label gives a line of text before it would wrap; far more than any.
constexpr int kRoom = 2000;

QSize BoundingSize(const QFont& font, const std::string& text) {
  return QFontMetrics(font)
      .boundingRect(0, 0, kRoom, kRoom, Qt::AlignLeft, QString::fromStdString(text))
      .size();
}

}  // namespace

TLabelSize TextSizeIn(const QFont& font, const std::string& text) {
  const QSize size = BoundingSize(font, text);
  return {size.width(), size.height()};
}

TLabelSize LabelSizeOf(const QLabel& label, const std::string& text) {
  const QSize size =
      BoundingSize(label.font(), text).expandedTo(label.minimumSize()).boundedTo(label.maximumSize());
  return {size.width(), size.height()};
}

}  // namespace doz
