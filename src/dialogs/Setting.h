// The COM port dialog: the port is picked from the list "COM1".."COMn" or
// typed as "COM" and a number from 1 to 256; below, the serial devices
// present and the COM numbers that open them.
#pragma once

#include <QString>
#include <string>

#include "Com_ports.h"
#include "Fixed_dialog.h"
#include "Serial_devices.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace doz {

class TPrompter;
class TSerialDeviceList;

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
  // `roots`: where the serial devices are looked for; the system's own unless
  // a test gives a tree of its own.
  explicit TFormSetting(TPrompter& prompter, const TSerialRoots& roots = {},
                        QWidget* parent = nullptr);

  // Resets the form for one run; `appDir` is where the port links are.
  void Prepare(int storedPort, const std::string& appDir);
  // The confirmed number when the run ended Accepted; the stored one before.
  int Port() const { return port_; }

  void Button1Click();
  void Button2Click();

  QComboBox* ComboBox1;
  QLabel* DeviceLabel;
  TSerialDeviceList* DeviceList;
  QPushButton* Button1;
  QPushButton* Button2;

 private:
  TComEntry Chosen(int& number) const;
  void UpdateDeviceLine();
  void SelectCom(int number);

  TPrompter& prompter_;
  int port_ = 0;
  std::string appDir_;
};

}  // namespace doz
