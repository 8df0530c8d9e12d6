// Keeps a one-line text within a number of bytes in code page 932, the form
// in which it is written to the settings file. Line ends are dropped; an
// edit that would make the text longer is refused as a whole.
#pragma once

#include <QValidator>
#include <cstddef>

namespace doz {

class TCp932Validator : public QValidator {
  Q_OBJECT
 public:
  TCp932Validator(std::size_t maxBytes, QObject* parent);

  State validate(QString& input, int& pos) const override;
  std::size_t MaxBytes() const { return maxBytes_; }

 private:
  std::size_t maxBytes_;
};

}  // namespace doz
