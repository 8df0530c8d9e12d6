// The print-information dialog: the three lines of text printed under the
// graph, confirmed or cancelled before each print.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "Fixed_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace doz {

// The longest print text, in code page 932 bytes, that the settings file
// reads back; a longer one would make the whole file invalid.
constexpr std::size_t PRINT_TEXT_MAX_BYTES = 243;

using TPrintTexts = std::array<std::string, 3>;

class TFormPrnInfo : public TFixedDialog {
  Q_OBJECT
 public:
  explicit TFormPrnInfo(QWidget* parent = nullptr);

  // Resets the form for one run; the edits take these texts when it is shown.
  void Prepare(const TPrintTexts& texts);
  // The texts as confirmed; the prepared ones until the form is confirmed.
  const TPrintTexts& Texts() const { return texts_; }

  void Button1Click();
  void Button2Click();

  QLabel* Label1;
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QPushButton* Button1;
  QPushButton* Button2;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::array<QLineEdit*, 3> Edits() const { return {Edit1, Edit2, Edit3}; }

  TPrintTexts texts_;
};

}  // namespace doz
