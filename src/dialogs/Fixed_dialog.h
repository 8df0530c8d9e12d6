// Base of the application's forms: a fixed border without a close box, so a
// form closes only through its own buttons; Escape and a close by the window
// manager act as its cancel button. A form keeps its results itself; the
// caller takes them only when the modal run ended Accepted.
#pragma once

#include <QDialog>

class QPushButton;
class QVBoxLayout;

namespace doz {

class TFixedDialog : public QDialog {
  Q_OBJECT
 public:
  TFixedDialog(const QString& caption, QWidget* parent);

  // Escape and the window manager's close come here.
  void reject() override;

 protected:
  // Closes the form, accepted or rejected.
  void Confirm();
  void Cancel();
  // Puts the two buttons at the foot of the content, right-aligned with the
  // confirming one the default, and lays the form out at its natural size,
  // which it then keeps.
  void SetContent(QVBoxLayout* layout, QPushButton* confirm, QPushButton* cancel);
};

}  // namespace doz
