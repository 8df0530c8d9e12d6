// The COM port dialog: the port is picked from the list "COM1".."COMn" or
// typed as "COM" and a number from 1 to 256.
#pragma once

#include <QString>
#include <string>

#include "Com_ports.h"
#include "Fixed_dialog.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace doz {

class TPrompter;

enum class TComEntry { Valid, NotCom, NotInteger, OutOfRange };

// Reads a typed port: "COM" (case-sensitive) followed by a whole decimal
// number, optionally signed, from 1 to 256. `number` is set only when Valid.
TComEntry ParseComText(const QString& text, int& number);

// Entries of the list for a stored port: at least 10, at most 256.
int ComListLength(int port);

// The line under the list: the device a COM number opens here and its state.
QString DeviceLineText(const std::string& path, TDeviceState state);

class TFormSetting : public TFixedDialog {
  Q_OBJECT
 public:
  TFormSetting(TPrompter& prompter, QWidget* parent = nullptr);

  // Resets the form for one run; `port` and `cancel` are written when it
  // closes, `appDir` is where the port links are looked for.
  void Prepare(int& port, bool& cancel, const std::string& appDir);

  void Button1Click();
  void Button2Click();

  QComboBox* ComboBox1;
  QLabel* DeviceLabel;
  QPushButton* Button1;
  QPushButton* Button2;

 private:
  TComEntry Chosen(int& number) const;
  void UpdateDeviceLine();

  TPrompter& prompter_;
  int* port_ = nullptr;
  std::string appDir_;
};

}  // namespace doz
