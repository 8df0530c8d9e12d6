#include "Cp932_validator.h"

#include "Cp932.h"

namespace doz {

TCp932Validator::TCp932Validator(std::size_t maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State TCp932Validator::validate(QString& input, int& pos) const {
  // A line end would split the settings line that holds the text.
  for (qsizetype i = input.size() - 1; i >= 0; --i) {
    if (input[i] != u'\r' && input[i] != u'\n') continue;
    input.remove(i, 1);
    if (i < pos) --pos;
  }
  const std::size_t bytes = platform::Cp932Length(input.toStdString());
  return bytes <= maxBytes_ ? Acceptable : Invalid;
}

}  // namespace doz
